# Run when installing: the desktop entry with Exec naming the installed program by its absolute
# path under the prefix of this installation.
get_filename_component(prefix "${CMAKE_INSTALL_PREFIX}" ABSOLUTE)
file(READ "${ZUBIRA_ENTRY_IN}" entry)
string(REPLACE "\nExec=zubira\n" "\nExec=${prefix}/${ZUBIRA_BINDIR}/zubira\n" entry "${entry}")
file(WRITE "${ZUBIRA_ENTRY_OUT}" "${entry}")
