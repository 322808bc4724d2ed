#!/usr/bin/env bash
# Checks of the desktop integration files, the installation, the Debian package and the window on
# a real X server.
#   check_dist.sh desktop  SOURCE_DIR APP_ID
#   check_dist.sh metainfo SOURCE_DIR APP_ID VERSION
#   check_dist.sh manpage  SOURCE_DIR PROGRAM VERSION
#   check_dist.sh install  SOURCE_DIR BUILD_DIR APP_ID
#   check_dist.sh package  SOURCE_DIR BUILD_DIR APP_ID VERSION
#   check_dist.sh x11      BUILD_DIR APP_ID SOURCE_DIR
# Exits 77 (skipped) when a tool it needs is missing.
set -euo pipefail

mode=$1
shift

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

need() {
  for tool in "$@"; do
    command -v "$tool" >/dev/null 2>&1 || { echo "SKIP: $tool is not installed (scripts/install-deps test installs it)"; exit 77; }
  done
}

work=$(mktemp -d)
cleanup() {
  local pid
  for pid in ${cleanup_pids:-}; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

icon_sizes="16 32 48 64 128 256"

# The files an installation holds, relative to its prefix.
installed_files() {
  local id=$1 build=$2 size
  {
    printf '%s\n' \
      bin/zubira \
      libexec/zubira/zubira-desktop \
      "share/applications/$id.desktop" \
      "share/icons/hicolor/scalable/apps/$id.svg" \
      share/man/man1/zubira.1 \
      share/man/man5/zubira-list.5 \
      "share/metainfo/$id.metainfo.xml" \
      share/doc/zubira/copyright \
      share/doc/zubira/changelog
    for size in $icon_sizes; do echo "share/icons/hicolor/${size}x${size}/apps/$id.png"; done
    [ ! -f "$build/zubira-webview.so" ] || echo lib/zubira/zubira-webview.so
    (cd "$src/doc" && find manual -type f \( -name '*.html' -o -name '*.css' \) | sed 's|^|share/doc/zubira/|')
    (cd "$src/data" && find presets -type f | sed 's|^|share/zubira/|')
  } | LC_ALL=C sort
}

# The value of KEY in the desktop entry FILE.
entry_value() { sed -n "s/^$2=//p" "$1" | head -n 1; }

check_desktop() {
  local src=$1 id=$2
  need desktop-file-validate
  local entry="$src/dist/$id.desktop"
  [ -f "$entry" ] || fail "no desktop entry $entry"
  desktop-file-validate "$entry" || fail "desktop-file-validate refused $entry"
  # Diagnostics still mean something is off even when the entry is accepted.
  [ -z "$(desktop-file-validate "$entry" 2>&1)" ] || fail "desktop-file-validate reports on $entry"
  # Installing writes the installed program's absolute path here.
  grep -qx "Exec=zubira" "$entry" || fail "Exec is not zubira"
  grep -qx "Icon=$id" "$entry" || fail "Icon is not $id"
  grep -qx "Terminal=false" "$entry" || fail "Terminal is not false"
  grep -qx "Categories=Education;Math;" "$entry" || fail "Categories are not Education;Math;"
  grep -qx "Name=Zubira 分数の加減乗除篇" "$entry" || fail "Name is not the program's title"
  grep -qx "Name\[ja\]=Zubira 分数の加減乗除篇" "$entry" || fail "no Japanese Name"
  grep -q "^Comment\[ja\]=..*" "$entry" || fail "no Japanese Comment"
  grep -q "^Keywords\[ja\]=..*" "$entry" || fail "no Japanese Keywords"
  # The X11 class of the program's windows (checked on an X server by the x11 check).
  [ "$(entry_value "$entry" StartupWMClass)" = zubira ] || fail "StartupWMClass is not zubira"
  [ -f "$src/dist/$id.svg" ] || fail "no icon $id.svg beside the entry"
}

check_metainfo() {
  local src=$1 id=$2 version=$3
  need appstreamcli
  local file="$src/dist/$id.metainfo.xml"
  [ -f "$file" ] || fail "no metainfo $file"
  local out
  out=$(appstreamcli validate --no-net --no-color "$file" 2>&1) || { echo "$out"; fail "appstreamcli refused $file"; }
  echo "$out"
  if grep -qE '^[EW]: ' <<<"$out"; then fail "appstreamcli reports errors or warnings"; fi
  grep -q "<id>$id</id>" "$file" || fail "component id is not $id"
  grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$file" || fail "launchable is not $id.desktop"
  grep -q "<release version=\"$version\" " "$file" || fail "no release entry for version $version"
  grep -q '<summary xml:lang="ja">' "$file" || fail "no Japanese summary"
  grep -q '<p xml:lang="ja">' "$file" || fail "no Japanese description"
  grep -q '<content_rating type="oars-1.1"' "$file" || fail "no content rating"
  grep -q '<developer_name>Zubira</developer_name>' "$file" || fail "no developer name"
  grep -q '<metadata_license>FSFAP</metadata_license>' "$file" || fail "metadata licence is not FSFAP"
  grep -q '<project_license>GPL-3.0-or-later</project_license>' "$file" || fail "project licence is not GPL-3.0-or-later"
  # The licence text itself, and the package's copyright in Debian's machine-readable format.
  grep -q 'GNU GENERAL PUBLIC LICENSE' "$src/LICENSE" && grep -q 'Version 3, 29 June 2007' "$src/LICENSE" ||
    fail "LICENSE is not the GPL version 3"
  local copyright="$src/dist/copyright"
  head -n 1 "$copyright" | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
    fail "the copyright file is not in the machine-readable format"
  grep -qx 'License: GPL-3+' "$copyright" || fail "the copyright file does not name GPL-3+"
  grep -q '/usr/share/common-licenses/GPL-3' "$copyright" || fail "the copyright file does not point at the licence text"
}

# Warnings of man and groff on the manual page PAGE.
check_page_warnings() {
  local page=$1 warnings
  [ -f "$page" ] || fail "no manual page $page"
  warnings=$(LC_ALL=C.UTF-8 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || { echo "$warnings"; fail "man reports warnings on $page"; }
  warnings=$(LC_ALL=C man --warnings -l "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || { echo "$warnings"; fail "man reports warnings on $page in the C locale"; }
  warnings=$(groff -man -ww -z "$page" 2>&1)
  [ -z "$warnings" ] || { echo "$warnings"; fail "groff reports warnings on $page"; }
}

check_manpage() {
  local src=$1 program=$2 version=$3
  need man groff
  local page="$src/dist/zubira.1" list="$src/dist/zubira-list.5"
  check_page_warnings "$page"
  check_page_warnings "$list"
  grep -q "^\.TH ZUBIRA 1 .*\"Zubira $version\"" "$page" || fail "the title line does not name version $version"
  grep -q "^\.TH ZUBIRA-LIST 5 .*\"Zubira $version\"" "$list" || fail "zubira-list(5)'s title line does not name version $version"
  # Every option the program's help names is documented.
  local help options missing=()
  help=$("$program" --help) || fail "$program --help failed"
  options=$(grep -oE -- '(^|[ ,])--?[a-z][a-z0-9-]*' <<<"$help" | sed 's/^[ ,]*//' | LC_ALL=C sort -u)
  [ -n "$options" ] || fail "no options found in the help text"
  for opt in $options; do
    grep -qF -- "${opt//-/\\-}" "$page" || missing+=("$opt")
  done
  [ ${#missing[@]} -eq 0 ] || fail "options of --help missing from the manual page: ${missing[*]}"
  local synopsis
  synopsis=$(sed -n '/^\.SH SYNOPSIS/,/^\.SH /p' "$page")
  for command in make sheet draw; do
    grep -q "^\.B zubira $command\$" <<<"$synopsis" || fail "the synopsis lacks zubira $command"
  done
  # The synopsis of sheet names each of its outputs.
  for output in problems answers solutions print; do
    grep -q "^\.B \\\\-\\\\-$output\$" <<<"$synopsis" || fail "the synopsis of sheet lacks --$output"
  done
  grep -q '^\.BR zubira\\-list (5)' "$page" || fail "zubira(1) does not refer to zubira-list(5)"
  # zubira-list(5) names every command word of the language.
  local word
  for word in TEXTOUT TEXTOUTANGLE LINE COLOR FONTCOLOR FONTSIZE FONTNAME FONTSTYLE BRUSHCOLOR PENCOLOR \
              PENWIDTH PENSIZE PENSTYLE PICTURE HEADER FOOTER PAGETITLE SUBTITLE INITPARAM INCLUDE; do
    grep -q "^\.B $word\$\|^\.BR $word " "$list" || fail "zubira-list(5) does not describe $word"
  done
}

check_install() {
  local src=$1 build=$2 id=$3
  need cmake
  local stage="$work/stage"
  DESTDIR="$stage" cmake --install "$build" --prefix /usr >"$work/install.log" 2>&1 ||
    { cat "$work/install.log"; fail "cmake --install failed"; }
  local got expected
  got=$(cd "$stage/usr" && find . \( -type f -o -type l \) | sed 's|^\./||' | LC_ALL=C sort)
  expected=$(installed_files "$id" "$build")
  [ "$(find "$stage" -mindepth 1 -maxdepth 1)" = "$stage/usr" ] || fail "files staged outside the prefix"
  [ "$got" = "$expected" ] || { diff <(echo "$expected") <(echo "$got") || true; fail "staged files differ"; }
  [ -x "$stage/usr/bin/zubira" ] || fail "the staged program is not executable"
  [ "$(entry_value "$stage/usr/share/applications/$id.desktop" Exec)" = /usr/bin/zubira ] ||
    fail "the installed desktop entry's Exec is not /usr/bin/zubira"
  if command -v desktop-file-validate >/dev/null; then
    [ -z "$(desktop-file-validate "$stage/usr/share/applications/$id.desktop" 2>&1)" ] ||
      fail "desktop-file-validate reports on the installed entry"
  fi
  local size
  for size in $icon_sizes; do
    file -b "$stage/usr/share/icons/hicolor/${size}x${size}/apps/$id.png" | grep -q "PNG image data, $size x $size," ||
      fail "the ${size}px icon is not a ${size}x${size} PNG"
  done

  local help
  help=$("$stage/usr/bin/zubira" --help) || fail "the staged program's --help did not exit 0"
  for command in make sheet draw presets; do
    grep -q "^  $command " <<<"$help" || fail "--help does not name the command $command"
  done
  # The installed program finds its presets under the data folder.
  ZUBIRA_PRESETS= ZUBIRA_SETTINGS="$work/settings.ini" "$stage/usr/bin/zubira" presets | grep -q "^g5-diff-add	5年	" ||
    fail "the installed program does not list its built-in presets"

  # Started once, the installed program keeps its settings in the user's configuration folder.
  (
    export XDG_CONFIG_HOME="$work/config" HOME="$work/home" ZUBIRA_QUIT_WHEN_SHOWN=1
    export ZUBIRA_SITE_URL=http://127.0.0.1:9/ QT_QPA_PLATFORM=offscreen
    unset ZUBIRA_SETTINGS
    mkdir -p "$HOME"
    "$stage/usr/bin/zubira" || fail "the staged program did not start and quit cleanly"
    [ -f "$XDG_CONFIG_HOME/zubira/zubira.ini" ] || fail "no settings in $XDG_CONFIG_HOME/zubira/zubira.ini"
  )
  [ ! -e "$stage/usr/bin/zubira.ini" ] || fail "settings written beside the installed program"
  [ ! -e "$stage/usr/libexec/zubira/zubira.ini" ] || fail "settings written beside the desktop program"

  # `make install` under another prefix and `make uninstall`: the entry names that prefix's program,
  # and uninstalling leaves the tree exactly as it was, folders that were there before included.
  local root="$work/root" before after
  mkdir -p "$root/opt" "$root/usr/local/share/man/man1"
  touch "$root/usr/local/share/man/man1/other.1"
  before=$(cd "$root" && find . | LC_ALL=C sort)
  DESTDIR="$root" "$src/scripts/install-tree" install "$build" /opt/zubira >"$work/tree.log" 2>&1 ||
    { cat "$work/tree.log"; fail "install-tree install failed"; }
  [ "$(entry_value "$root/opt/zubira/share/applications/$id.desktop" Exec)" = /opt/zubira/bin/zubira ] ||
    fail "the desktop entry installed under /opt/zubira does not start /opt/zubira/bin/zubira"
  [ -x "$root/opt/zubira/libexec/zubira/zubira-desktop" ] || fail "nothing installed under /opt/zubira"
  DESTDIR="$root" "$src/scripts/install-tree" install "$build" /usr/local >>"$work/tree.log" 2>&1 ||
    { cat "$work/tree.log"; fail "install-tree install under /usr/local failed"; }
  # Installing twice at the same place and uninstalling once removes it all.
  DESTDIR="$root" "$src/scripts/install-tree" install "$build" /usr/local >>"$work/tree.log" 2>&1 ||
    { cat "$work/tree.log"; fail "a second install-tree install under /usr/local failed"; }
  DESTDIR="$root" "$src/scripts/install-tree" uninstall "$build" /opt/zubira >>"$work/tree.log" 2>&1 ||
    { cat "$work/tree.log"; fail "install-tree uninstall failed"; }
  [ -e "$root/usr/local/bin/zubira" ] || fail "uninstalling /opt/zubira removed the installation under /usr/local"
  DESTDIR="$root" "$src/scripts/install-tree" uninstall "$build" /usr/local >>"$work/tree.log" 2>&1 ||
    { cat "$work/tree.log"; fail "install-tree uninstall under /usr/local failed"; }
  after=$(cd "$root" && find . | LC_ALL=C sort)
  [ "$before" = "$after" ] || { diff <(echo "$before") <(echo "$after") || true; fail "uninstalling left the tree changed"; }
  if DESTDIR="$root" "$src/scripts/install-tree" uninstall "$build" /usr/local >/dev/null 2>&1; then
    fail "uninstalling what is not installed succeeded"
  fi
}

check_package() {
  local src=$1 build=$2 id=$3 version=$4
  need dpkg-deb dpkg-shlibdeps dpkg-parsechangelog file lintian readelf
  local deb arch
  arch=$(dpkg --print-architecture)
  deb=$("$src/dist/build-deb" "$build" "$work/out") || fail "build-deb failed"
  [ "$deb" = "$work/out/zubira_${version}_${arch}.deb" ] || fail "the package is named $deb"
  dpkg-deb -I "$deb" >/dev/null || fail "dpkg-deb cannot read the package"

  field() { dpkg-deb -f "$deb" "$1"; }
  has() { grep -qE "(^|, )$2( |,|$)" <<<"$1"; }
  [ "$(field Package)" = zubira ] || fail "Package is $(field Package)"
  [ "$(field Version)" = "$version" ] || fail "Version is $(field Version), not $version"
  [ "$(field Architecture)" = "$arch" ] || fail "Architecture is $(field Architecture)"
  [ "$(field Section)" = education ] || fail "Section is $(field Section)"
  [ -n "$(field Maintainer)" ] || fail "no Maintainer"
  [ -n "$(field Description)" ] || fail "no Description"
  local depends recommends
  depends=$(field Depends)
  recommends=$(field Recommends)
  echo "Depends: $depends"
  echo "Recommends: $recommends"
  for dep in fonts-ipafont-gothic fonts-ipafont-mincho libqt6widgets6 libqt6gui6 libcups2 libjpeg62-turbo; do
    has "$depends" "$dep" || fail "Depends lacks $dep"
  done
  for dep in qt6-qpa-plugins qt6-translations-l10n 'libqt6webengine[a-z]*6'; do
    ! has "$depends" "$dep" || fail "Depends holds $dep, which the program can do without"
  done
  for dep in qt6-wayland qt6-translations-l10n; do
    has "$recommends" "$dep" || fail "Recommends lacks $dep"
  done
  if [ -f "$build/zubira-webview.so" ]; then
    has "$recommends" libqt6webenginewidgets6 || fail "Recommends lacks the web view's libqt6webenginewidgets6"
  fi

  local got expected
  got=$(dpkg-deb -c "$deb" | awk '{print $NF}' | grep -v '/$' | sed 's|^\./usr/||' | LC_ALL=C sort)
  expected=$({ installed_files "$id" "$build"; echo share/doc-base/zubira-manual; } |
    sed -E 's|^(share/man/.*)$|\1.gz|; s|^share/doc/zubira/changelog$|share/doc/zubira/changelog.gz|' | LC_ALL=C sort)
  [ "$got" = "$expected" ] || { diff <(echo "$expected") <(echo "$got") || true; fail "packaged files differ"; }
  dpkg-deb -c "$deb" | awk '$NF == "./usr/bin/zubira" && $1 == "-rwxr-xr-x" && $2 == "root/root" {found=1} END {exit !found}' ||
    fail "/usr/bin/zubira is not an executable of mode 755 owned by root"

  local tree="$work/tree"
  dpkg-deb -x "$deb" "$tree"
  [ "$(entry_value "$tree/usr/share/applications/$id.desktop" Exec)" = /usr/bin/zubira ] ||
    fail "the packaged desktop entry does not start /usr/bin/zubira"
  local f
  local kind sections
  for f in "$tree/usr/bin/zubira" "$tree/usr/libexec/zubira/zubira-desktop" $(find "$tree" -name '*.so'); do
    kind=$(file -b "$f")
    sections=$(readelf -S -W "$f")
    grep -q ', stripped' <<<"$kind" || fail "$f is not stripped"
    ! grep -q ' \.comment ' <<<"$sections" || fail "$f has a .comment section"
  done

  # Debian's checks, with every hardening feature when the tree was built with them. Control-flow
  # protection is compiled in but cannot be marked: Debian 12's C start files (Scrt1.o, crti.o)
  # carry no CET property, so no program linked on it has one (dpkg's own neither).
  local lint
  lint=$(lintian --fail-on error,warning --display-info --tag-display-limit 0 "$deb" 2>&1) ||
    { echo "$lint"; fail "lintian reports errors or warnings"; }
  echo "$lint"
  if grep -q '^ZUBIRA_HARDEN:BOOL=ON$' "$build/CMakeCache.txt"; then
    need hardening-check
    local report
    for f in "$tree/usr/bin/zubira" "$tree/usr/libexec/zubira/zubira-desktop" $(find "$tree" -name '*.so'); do
      report=$(hardening-check --nocfprotection "$f" 2>&1) || { echo "$report"; fail "hardening-check refused $f"; }
      echo "$report"
      grep -q 'Immediate binding: yes' <<<"$report" || fail "$f is not bound at start-up"
      if [ "$arch" = amd64 ]; then
        [ "$(objdump -d --no-show-raw-insn "$f" | grep -c endbr64)" -gt 0 ] || fail "$f has no control-flow protection"
      fi
    done
  fi

  # The same tree and date give the same bytes.
  local again
  again=$("$src/dist/build-deb" "$build" "$work/again") || fail "the second build-deb failed"
  cmp "$deb" "$again" || fail "two packages of the same tree differ"
  SOURCE_DATE_EPOCH=1700000000 "$src/dist/build-deb" "$build" "$work/dated" >/dev/null || fail "build-deb with a date failed"
  local listing
  listing=$(dpkg-deb -c "$work/dated/$(basename "$deb")")
  grep -q ' 2023-11-14 ' <<<"$listing" || fail "SOURCE_DATE_EPOCH does not date the files"
}

check_x11() {
  local build=$1 id=$2 src=$3
  need Xvfb xprop xwininfo
  # A private X server; it writes its display number once it is ready.
  Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 3>"$work/display" 2>"$work/xvfb.log" &
  cleanup_pids="$!"
  local n display=""
  for n in $(seq 1 100); do
    display=$(head -n 1 "$work/display" 2>/dev/null || true)
    [ -n "$display" ] && break
    sleep 0.1
  done
  [ -n "$display" ] || { cat "$work/xvfb.log"; fail "Xvfb did not start"; }
  export DISPLAY=":$display"
  unset WAYLAND_DISPLAY
  export QT_QPA_PLATFORM=xcb ZUBIRA_SITE_URL=http://127.0.0.1:9/ ZUBIRA_SETTINGS="$work/zubira.ini"
  "$build/zubira" >"$work/program.log" 2>&1 &
  cleanup_pids="$! $cleanup_pids"

  # The main window: the one whose title is the main window's.
  local window="" ids name state w
  for n in $(seq 1 300); do
    ids=$(xwininfo -root -tree 2>/dev/null | grep -oE '^ +0x[0-9a-f]+' | tr -d ' ' || true)
    for w in $ids; do
      name=$(xprop -id "$w" _NET_WM_NAME 2>/dev/null || true)
      state=$(xwininfo -id "$w" 2>/dev/null || true)
      if grep -q '分数の加減乗除' <<<"$name" && grep -q 'Map State: IsViewable' <<<"$state"; then
        window=$w
        break 2
      fi
    done
    sleep 0.2
  done
  [ -n "$window" ] || { cat "$work/program.log"; fail "the main window did not appear on $DISPLAY"; }

  local class want
  class=$(xprop -id "$window" WM_CLASS | sed -n 's/^WM_CLASS(STRING) = //p')
  want=$(entry_value "$src/dist/$id.desktop" StartupWMClass)
  echo "WM_CLASS: $class; StartupWMClass: $want"
  [ -n "$want" ] || fail "the desktop entry has no StartupWMClass"
  grep -qE "^\"[^\"]*\", \"$want\"\$" <<<"$class" || fail "the window's class $class is not the entry's $want"
  local icons
  icons=$(xprop -len 4000000 -id "$window" _NET_WM_ICON | grep -oE 'Icon \([0-9]+ x [0-9]+\)' | LC_ALL=C sort -u)
  echo "$icons"
  local size
  for size in $icon_sizes; do
    grep -q "Icon ($size x $size)" <<<"$icons" || fail "the window has no ${size}px icon"
  done
}

case "$mode" in
  desktop) check_desktop "$@" ;;
  metainfo) check_metainfo "$@" ;;
  manpage) check_manpage "$@" ;;
  install) src=$1; check_install "$@" ;;
  package) src=$1; check_package "$@" ;;
  x11) check_x11 "$@" ;;
  *) fail "unknown check $mode" ;;
esac
echo "PASS: $mode"
