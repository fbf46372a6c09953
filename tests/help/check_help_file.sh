#!/usr/bin/env bash
# Opens the compiled help file with libchm-bin's tools and checks that every topic and
# anchor the program opens is in it, that every contents entry leads to a page (and
# anchor) of the file, and that the help window type the program asks for is defined.
#   check_help_file.sh <ZR8Utility.chm> <source root>
set -uo pipefail
chm=$1
src=$2
fail=0
problem() { echo "FAIL: $*" >&2; fail=1; }

[ -f "$chm" ] || { echo "FAIL: $chm is missing (is fp-utils installed?)" >&2; exit 1; }
command -v extract_chmLib >/dev/null || { echo "FAIL: extract_chmLib missing (Debian package libchm-bin)" >&2; exit 1; }

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
extract_chmLib "$chm" "$dir" >/dev/null || { echo "FAIL: extract_chmLib could not read $chm" >&2; exit 1; }

# file.htm#Anchor: the page is in the file and, when an anchor is named, it stands there.
check_target() {  # check_target <what> <target>
  local page=${2%%#*} anchor=
  [[ $2 == *#* ]] && anchor=${2#*#}
  if [ ! -f "$dir/$page" ]; then
    problem "$1: page $page is not in the help file"
    return
  fi
  if [ -n "$anchor" ] && ! grep -Eq "(name|id)=\"$anchor\"" "$dir/$page"; then
    problem "$1: $page has no anchor $anchor"
  fi
}

# The topics the program opens: every "Name.htm" or "Name.htm#Anchor" literal of the
# windows' sources, and the six the pages and dialogs are known by (also while a page
# that names one is still being written).
mapfile -t topics < <( {
  grep -rhoE 'L"[A-Za-z0-9_]+\.htm(#[A-Za-z0-9_]+)?"' "$src/src/ui" | sed -E 's/^L"(.*)"$/\1/'
  printf '%s\n' Port.htm Firmware.htm Configuration.htm Configuration.htm#PowerOnBanner CommandTester.htm \
    CommandTester.htm#MacroEditor
} | sort -u)
for topic in "${topics[@]}"; do
  check_target "topic $topic" "$topic"
  echo "topic $topic"
done

# The contents: each entry leads somewhere real; each topic the program opens is listed.
contents="$dir/Contents.hhc"
if [ ! -f "$contents" ]; then
  problem "the help file has no Contents.hhc"
else
  mapfile -t entries < <(grep -oE '<param name="Local" value="[^"]+"' "$contents" | sed -E 's/.*value="([^"]+)"/\1/')
  [ ${#entries[@]} -gt 0 ] || problem "the contents list no entries"
  for entry in "${entries[@]}"; do
    check_target "contents entry $entry" "$entry"
  done
  for topic in "${topics[@]}"; do
    printf '%s\n' "${entries[@]}" | grep -qxF "$topic" || problem "topic $topic is not in the contents"
  done
  echo "contents: ${#entries[@]} entries"
fi

# The window type "$global_main" every help request names.
grep -aqF '$global_main' "$dir/#STRINGS" 2>/dev/null || problem 'the window type $global_main is not defined'
# Every page the contents or the topics lead to links only to pages of the file.
for page in "$dir"/*.htm; do
  for link in $(grep -oE 'href="[^"#:]+\.htm(#[A-Za-z0-9_]+)?"' "$page" | sed -E 's/href="(.*)"/\1/'); do
    check_target "link in $(basename "$page")" "$link"
  done
done

[ "$fail" = 0 ] && echo "help file OK: ${#topics[@]} topics"
exit $fail
