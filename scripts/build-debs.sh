#!/usr/bin/env bash
# Builds every Debian package of debian/control into OUT (default build-deb):
# copies the sources to OUT/pagewire-VERSION, writes debian/changelog there
# from the project's version, then runs dpkg-buildpackage. The packages, the
# source package and the .changes listing them all land in OUT.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "${1:-$root/build-deb}")
version=$(cmake -P "$root/cmake/print-version.cmake")
stage=$out/pagewire-$version

rm -rf "$out"
mkdir -p "$stage"
if git -C "$root" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  # Tracked and new files as they are in the work tree, nothing ignored.
  (cd "$root" && git ls-files -z --cached --others --exclude-standard |
     while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done |
     tar --null -T - -cf -) | tar -xf - -C "$stage"
else
  (cd "$root" && tar --exclude='./build*' -cf - .) | tar -xf - -C "$stage"
fi

# One entry: the version of project(... VERSION ...), dated by the last
# commit so that the same sources give the same packages.
maintainer=$(sed -n 's/^Maintainer: //p' "$root/debian/control")
when=$(git -C "$root" log -1 --format=%cD 2>/dev/null || date -R)
cat > "$stage/debian/changelog" <<CHANGELOG
pagewire ($version) unstable; urgency=medium

  * Pagewire $version.

 -- $maintainer  $when
CHANGELOG

(cd "$stage" && dpkg-buildpackage -us -uc -j"${JOBS:-2}")
