#!/usr/bin/env bash
# Checks of the desktop integration files, the installation and the Debian package.
#   check_dist.sh desktop  SOURCE_DIR APP_ID
#   check_dist.sh metainfo SOURCE_DIR APP_ID VERSION
#   check_dist.sh manpage  SOURCE_DIR PROGRAM VERSION
#   check_dist.sh install  BUILD_DIR APP_ID
#   check_dist.sh package  BUILD_DIR APP_ID VERSION
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
    command -v "$tool" >/dev/null 2>&1 || { echo "SKIP: $tool is not installed (scripts/install-deps installs it)"; exit 77; }
  done
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The files an installation holds, relative to its prefix.
installed_files() {
  local id=$1
  {
    printf '%s\n' \
      bin/zubira \
      libexec/zubira/zubira-desktop \
      "share/applications/$id.desktop" \
      "share/icons/hicolor/scalable/apps/$id.svg" \
      share/man/man1/zubira.1 \
      "share/metainfo/$id.metainfo.xml"
    # The built-in presets: every file of the source's folder.
    (cd "$(dirname "${BASH_SOURCE[0]}")/../../data/presets" && ls | sed 's|^|share/zubira/presets/|')
  } | LC_ALL=C sort
}

check_desktop() {
  local src=$1 id=$2
  need desktop-file-validate
  local entry="$src/dist/$id.desktop"
  [ -f "$entry" ] || fail "no desktop entry $entry"
  desktop-file-validate "$entry" || fail "desktop-file-validate refused $entry"
  # Diagnostics still mean something is off even when the entry is accepted.
  [ -z "$(desktop-file-validate "$entry" 2>&1)" ] || fail "desktop-file-validate reports on $entry"
  grep -qx "Exec=zubira" "$entry" || fail "Exec is not zubira"
  grep -qx "Icon=$id" "$entry" || fail "Icon is not $id"
  grep -qx "Terminal=false" "$entry" || fail "Terminal is not false"
  grep -qx "Categories=Education;Math;" "$entry" || fail "Categories are not Education;Math;"
  grep -qx "Name=Zubira 分数の加減乗除篇" "$entry" || fail "Name is not the program's title"
  grep -qx "Name\[ja\]=Zubira 分数の加減乗除篇" "$entry" || fail "no Japanese Name"
  grep -q "^Comment\[ja\]=..*" "$entry" || fail "no Japanese Comment"
  grep -q "^Keywords\[ja\]=..*" "$entry" || fail "no Japanese Keywords"
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
  grep -q '<project_license>..*</project_license>' "$file" || fail "no project licence"
}

check_manpage() {
  local src=$1 program=$2 version=$3
  need man groff
  local page="$src/dist/zubira.1"
  [ -f "$page" ] || fail "no manual page $page"
  local warnings
  warnings=$(LC_ALL=C.UTF-8 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || { echo "$warnings"; fail "man reports warnings"; }
  warnings=$(LC_ALL=C man --warnings -l "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || { echo "$warnings"; fail "man reports warnings in the C locale"; }
  warnings=$(groff -man -ww -z "$page" 2>&1)
  [ -z "$warnings" ] || { echo "$warnings"; fail "groff reports warnings"; }
  grep -q "^\.TH ZUBIRA 1 .*\"Zubira $version\"" "$page" || fail "the title line does not name version $version"
  # Every option the program's help names is documented.
  local help options missing=()
  help=$("$program" --help) || fail "$program --help failed"
  options=$(grep -oE -- '(^|[ ,])--?[a-z][a-z0-9-]*' <<<"$help" | sed 's/^[ ,]*//' | LC_ALL=C sort -u)
  [ -n "$options" ] || fail "no options found in the help text"
  for opt in $options; do
    grep -qF -- "${opt//-/\\-}" "$page" || missing+=("$opt")
  done
  [ ${#missing[@]} -eq 0 ] || fail "options of --help missing from the manual page: ${missing[*]}"
  for command in make sheet draw; do
    grep -q "^\.B zubira $command\$" "$page" || fail "the synopsis lacks zubira $command"
  done
}

check_install() {
  local build=$1 id=$2
  local stage="$work/stage"
  DESTDIR="$stage" cmake --install "$build" --prefix /usr >"$work/install.log" 2>&1 ||
    { cat "$work/install.log"; fail "cmake --install failed"; }
  local got expected
  got=$(cd "$stage/usr" && find . \( -type f -o -type l \) | sed 's|^\./||' | LC_ALL=C sort)
  expected=$(installed_files "$id")
  [ "$(find "$stage" -mindepth 1 -maxdepth 1)" = "$stage/usr" ] || fail "files staged outside the prefix"
  [ "$got" = "$expected" ] || { diff <(echo "$expected") <(echo "$got") || true; fail "staged files differ"; }
  [ -x "$stage/usr/bin/zubira" ] || fail "the staged program is not executable"

  local help
  help=$("$stage/usr/bin/zubira" --help) || fail "the staged program's --help did not exit 0"
  for command in make sheet draw presets; do
    grep -q "^  $command " <<<"$help" || fail "--help does not name the command $command"
  done
  # The installed program finds its presets under the data folder.
  ZUBIRA_PRESETS= ZUBIRA_SETTINGS="$work/settings.ini" "$stage/usr/bin/zubira" presets | grep -q "^g5-diff-add	5年	" ||
    fail "the installed program does not list its built-in presets"

  # Started once, the installed program keeps its settings in the user's configuration folder.
  export XDG_CONFIG_HOME="$work/config" HOME="$work/home" ZUBIRA_QUIT_WHEN_SHOWN=1
  export ZUBIRA_SITE_URL=http://127.0.0.1:9/ QT_QPA_PLATFORM=offscreen
  unset ZUBIRA_SETTINGS
  mkdir -p "$HOME"
  "$stage/usr/bin/zubira" || fail "the staged program did not start and quit cleanly"
  [ -f "$XDG_CONFIG_HOME/zubira/zubira.ini" ] || fail "no settings in $XDG_CONFIG_HOME/zubira/zubira.ini"
  [ ! -e "$stage/usr/bin/zubira.ini" ] || fail "settings written beside the installed program"
  [ ! -e "$stage/usr/libexec/zubira/zubira.ini" ] || fail "settings written beside the desktop program"
}

check_package() {
  local build=$1 id=$2 version=$3
  need cpack dpkg-deb dpkg-shlibdeps file
  cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack failed"; }
  local arch deb
  arch=$(dpkg --print-architecture)
  deb="$work/out/zubira_${version}_${arch}.deb"
  [ -f "$deb" ] || { ls "$work/out"; fail "no package named $(basename "$deb")"; }
  dpkg-deb -I "$deb" >/dev/null || fail "dpkg-deb cannot read the package"

  field() { dpkg-deb -f "$deb" "$1"; }
  [ "$(field Package)" = zubira ] || fail "Package is $(field Package)"
  [ "$(field Version)" = "$version" ] || fail "Version is $(field Version), not $version"
  [ "$(field Architecture)" = "$arch" ] || fail "Architecture is $(field Architecture)"
  [ "$(field Section)" = education ] || fail "Section is $(field Section)"
  [ -n "$(field Maintainer)" ] || fail "no Maintainer"
  [ -n "$(field Description)" ] || fail "no Description"
  local depends
  depends=$(field Depends)
  echo "Depends: $depends"
  for dep in fonts-ipafont-gothic fonts-ipafont-mincho qt6-translations-l10n qt6-qpa-plugins libqt6widgets6; do
    grep -qE "(^|, )$dep( |,|$)" <<<"$depends" || fail "Depends lacks $dep"
  done

  local got expected
  got=$(dpkg-deb -c "$deb" | awk '{print $NF}' | grep -v '/$' | sed 's|^\./usr/||' | LC_ALL=C sort)
  expected=$(installed_files "$id")
  [ "$got" = "$expected" ] || { diff <(echo "$expected") <(echo "$got") || true; fail "packaged files differ"; }
  dpkg-deb -c "$deb" | awk '$NF == "./usr/bin/zubira" && $1 == "-rwxr-xr-x" {found=1} END {exit !found}' ||
    fail "/usr/bin/zubira is not an executable of mode 755"
}

case "$mode" in
  desktop) check_desktop "$@" ;;
  metainfo) check_metainfo "$@" ;;
  manpage) check_manpage "$@" ;;
  install) check_install "$@" ;;
  package) check_package "$@" ;;
  *) fail "unknown check $mode" ;;
esac
echo "PASS: $mode"
