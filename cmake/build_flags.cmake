# Compiler and linker flags of every target.

add_compile_options(-Wall -Wextra -Wclobbered)
if(ZUBIRA_WERROR)
  add_compile_options(-Werror)
endif()

if(ZUBIRA_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# Debian's build flags with every hardening feature: stack protector, fortified functions,
# format checks, PIE, read-only relocations bound at start-up; and source paths written relative
# to the source folder. The optimisation level and debug information stay the build type's.
# Stack-clash and control-flow protection are added where the compiler has them.
find_program(ZUBIRA_DPKG_BUILDFLAGS dpkg-buildflags)
set(_harden_default OFF)
if(ZUBIRA_DPKG_BUILDFLAGS AND NOT ZUBIRA_FUZZ)
  set(_harden_default ON)
endif()
option(ZUBIRA_HARDEN "Build with the hardening flags of dpkg-buildflags" ${_harden_default})

if(ZUBIRA_HARDEN)
  if(NOT ZUBIRA_DPKG_BUILDFLAGS)
    message(FATAL_ERROR "ZUBIRA_HARDEN needs dpkg-buildflags (dpkg-dev)")
  endif()
  function(zubira_buildflags name out)
    execute_process(
      COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
              ${ZUBIRA_DPKG_BUILDFLAGS} --get ${name}
      WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
      OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(flags UNIX_COMMAND "${flags}")
    list(FILTER flags EXCLUDE REGEX "^(-O[0-9sgz]?|-g[0-9]*)$")
    set(${out} ${flags} PARENT_SCOPE)
  endfunction()
  zubira_buildflags(CPPFLAGS cppflags)
  zubira_buildflags(CFLAGS cflags)
  zubira_buildflags(CXXFLAGS cxxflags)
  zubira_buildflags(LDFLAGS ldflags)
  include(CheckCXXCompilerFlag)
  foreach(flag -fstack-clash-protection -fcf-protection)
    string(MAKE_C_IDENTIFIER "ZUBIRA_HAS${flag}" var)
    check_cxx_compiler_flag(${flag} ${var})
    if(${var})
      list(APPEND cflags ${flag})
      list(APPEND cxxflags ${flag})
    endif()
  endforeach()
  add_compile_options(${cppflags} "$<$<COMPILE_LANGUAGE:C>:${cflags}>" "$<$<COMPILE_LANGUAGE:CXX>:${cxxflags}>")
  add_link_options(${ldflags})
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
endif()
