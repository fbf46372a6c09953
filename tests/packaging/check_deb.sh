#!/usr/bin/env bash
# The .deb, made by CPack from the native build: its contents listed (dpkg-deb -c),
# extracted (dpkg -x), and the extracted programs run: zr8 --version, zr8sim --version,
# zr8 --port sim info.
#   check_deb.sh <build dir> <version>
set -uo pipefail
build=$1
version=$2
fail=0
problem() { echo "FAIL: $*" >&2; fail=1; }

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
rm -rf "$build/packages"
if ! (cd "$build" && cpack -G DEB -B "$out" >"$out/cpack.log" 2>&1); then
  cat "$out/cpack.log" >&2
  echo "FAIL: cpack could not make the .deb" >&2
  exit 1
fi
deb=$(ls "$build"/packages/zr8_*.deb 2>/dev/null | head -1)
[ -n "$deb" ] || { echo "FAIL: no .deb in $out" >&2; ls "$out" >&2; exit 1; }
ls -l "$deb"
dpkg-deb -I "$deb" | sed -n '/Package:/,$p'

listing=$(dpkg-deb -c "$deb")
for f in ./usr/bin/zr8 ./usr/bin/zr8sim ./usr/share/man/man1/zr8.1.gz ./usr/share/man/man1/zr8sim.1.gz \
         ./usr/share/doc/zr8/README.md ./usr/share/doc/zr8/cli.md ./usr/share/doc/zr8/simulator.md \
         ./usr/share/doc/zr8/copyright ./usr/share/doc/zr8/manual/Welcome.htm ./usr/share/doc/zr8/manual/Port.htm \
         ./usr/lib/udev/rules.d/60-zr8-ftdi-latency.rules; do
  grep -qE " $f\$" <<<"$listing" || problem "the .deb lacks $f"
done

root="$out/root"
dpkg -x "$deb" "$root" || problem "dpkg -x failed"
for program in zr8 zr8sim; do
  readelf -S "$root/usr/bin/$program" | grep -qE '\.(symtab|debug_info)' && problem "$program is not stripped"
  got=$("$root/usr/bin/$program" --version)
  [ "$got" = "$program $version" ] || problem "$program --version printed '$got', not '$program $version'"
  echo "$got"
done
mkdir -p "$out/config" "$out/data"
info=$(XDG_CONFIG_HOME="$out/config" XDG_DATA_HOME="$out/data" "$root/usr/bin/zr8" --port sim info 2>&1)
echo "$info"
grep -q 'Serial number: 12345' <<<"$info" || problem "the extracted zr8 did not find the simulated radio"
rules=$(dirname "$0")/../../packaging/udev/60-zr8-ftdi-latency.rules
cmp -s "$rules" "$root/usr/lib/udev/rules.d/60-zr8-ftdi-latency.rules" || problem "the .deb's udev rule differs from $rules"
zcat "$root/usr/share/man/man1/zr8.1.gz" | grep -q '^\.TH ZR8 1' || problem "zr8.1.gz is not the manual page"

[ "$fail" = 0 ] && echo ".deb OK"
exit $fail
