#!/usr/bin/env bash
# The disc as the build lays it out: the files of the disc folder, and the same
# names (Joliet, case kept) in the image that xorriso writes of it.
#   check_disc.sh BUILD_DIR WORK_DIR
set -u
build=$1
work=$2
rm -rf "$work"
mkdir -p "$work"
status=0
fail() { echo "FAIL: $*"; status=1; }

cmake --install "$build" --prefix "$work/disc" >"$work/install.log" 2>&1 || { cat "$work/install.log"; fail "install"; }
expected="archive.gif archive.jar autorun.inf readme.txt setup.exe wizstart.exe"
present=$(cd "$work/disc" 2>/dev/null && ls | sort | tr '\n' ' ' | sed 's/ $//')
[ "$present" = "$expected" ] || fail "disc folder holds '$present', expected '$expected'"
cmp -s "$build/bin/setup.exe" "$work/disc/setup.exe" || fail "setup.exe is not the built program"
grep -q '^\[Vendrel\]' "$work/disc/autorun.inf" || fail "autorun.inf has no [Vendrel] section"
grep -q '^open=setup.exe' "$work/disc/autorun.inf" || fail "autorun.inf does not start setup.exe"

xorriso -as mkisofs -quiet -J -r -V TESTDISC -o "$work/disc.iso" "$work/disc" 2>"$work/xorriso.log" \
  || { cat "$work/xorriso.log"; fail "xorriso"; }
# Read back with Rock Ridge off, so that the Joliet tree is what is listed.
listed=$(xorriso -rockridge off -joliet on -indev "$work/disc.iso" -lsl / 2>/dev/null |
  awk 'NF > 2 {print $NF}' | tr -d "'" | sort | tr '\n' ' ' | sed 's/ $//')
[ "$listed" = "$expected" ] || fail "image lists '$listed', expected '$expected'"
label=$(xorriso -indev "$work/disc.iso" -pvd_info 2>/dev/null | sed -n 's/^Volume Id *: *//p')
[ "$label" = "TESTDISC" ] || fail "volume label '$label'"

[ $status -eq 0 ] && echo "disc layout and image: $expected"
exit $status
