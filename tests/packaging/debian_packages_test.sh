#!/usr/bin/env bash
# Builds the Debian packages into OUT (default build-deb), lints them and
# their source package (no error or warning may remain), then unpacks them
# into OUT/root and builds a small C program against the library there, once
# through pkg-config and once through find_package(pagewire), and runs both
# on a sample PDF.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out=$(realpath -m "${1:-$root/build-deb}")
fail() { echo "FAIL: $*" >&2; exit 1; }

log=$(mktemp --suffix=-pagewire-debs.log)
bash "$root/scripts/build-debs.sh" "$out" > "$log" 2>&1 ||
  { tail -40 "$log"; fail "dpkg-buildpackage (the whole log: $log)"; }
rm -f "$log"
changes=$(ls "$out"/*.changes)

echo "== lintian $(basename "$changes")"
lintian --fail-on error,warning "$changes" || fail "lintian"

# The library exports the five functions of pagewire.map, and its symbols
# file says exactly these.
lib_deb=$(ls "$out"/libpagewire2_*.deb)
want=$(sed -n '/global:/,/local:/s/^ *\([A-Za-z]\+\);$/\1/p' "$root/src/exports/pagewire.map" | sort)
got=$(dpkg-deb --ctrl-tarfile "$lib_deb" | tar -xO ./symbols | sed -n 's/^ \([A-Za-z]*\)@Base .*/\1/p' | sort)
[ "$want" = "$got" ] || fail "symbols file lists: $got"

sysroot=$out/root
for deb in "$out"/*.deb; do
  case $deb in *-dbgsym_*) continue ;; esac
  dpkg -x "$deb" "$sysroot"
done
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
libdir=$sysroot/usr/lib/$multiarch
soname=$(readelf -d "$libdir"/libpagewire.so.2.* | sed -n 's/.*(SONAME).*\[\(.*\)\]/\1/p')
[ "$soname" = libpagewire.so.2 ] || fail "SONAME is $soname"

consumer=$root/tests/packaging/consumer
flags=$(PKG_CONFIG_SYSROOT_DIR=$sysroot PKG_CONFIG_LIBDIR=$libdir/pkgconfig \
        pkg-config --cflags --libs pagewire)
echo "== pkg-config --cflags --libs pagewire: $flags"
# shellcheck disable=SC2086  # the flags are a list
cc -Wall -Werror -o "$out/consumer-pkgconfig" "$consumer/consumer.c" $flags

cmake -S "$consumer" -B "$out/consumer-cmake" -G Ninja -DCMAKE_PREFIX_PATH="$sysroot/usr" \
  -DCMAKE_C_FLAGS="-Wall -Werror" > "$out/consumer-cmake.log" ||
  { cat "$out/consumer-cmake.log"; fail "find_package(pagewire)"; }
grep -q "^pagewire_DIR:PATH=$libdir/cmake/pagewire$" "$out/consumer-cmake/CMakeCache.txt" ||
  fail "find_package(pagewire) did not take the unpacked package"
cmake --build "$out/consumer-cmake" > /dev/null

# The answers the fixture list gives for a protected PDF and its user password.
sample=r3_128.pdf
read -r user want_answers < <(awk -F'\t' -v f=$sample \
  '$1 == f { print $2, $4 " " $5 " " $6 }' "$root/tests/pdf/fixtures/expected.tsv")
for prog in "$out/consumer-pkgconfig" "$out/consumer-cmake/consumer"; do
  # Read whole: grep -q would end ldd with SIGPIPE, which pipefail counts.
  loads=$(LD_LIBRARY_PATH=$libdir ldd "$prog")
  grep -q "libpagewire.so.2 => $libdir/" <<<"$loads" || fail "$prog does not load the unpacked library"
  answers=$(LD_LIBRARY_PATH=$libdir "$prog" "$root/tests/pdf/fixtures/$sample" "$user")
  [ "$answers" = "$want_answers" ] || fail "$prog on $sample: $answers, want $want_answers"
  echo "ok: $(basename "$prog") on $sample: $answers"
done
echo "== the Debian packages: built, lint-free, usable"
