#!/bin/sh
# Times the three PDF queries (one pdf_query --once run answers all three from
# one read of the file, as the print command asks them) against
# a baseline measured in the same run and prints each as a ratio:
#   fixtures  every committed fixture      vs qpdf --requires-password
#   big       ~200,000 objects, classic table vs qpdf --requires-password
#   big-rc4   the same objects rewritten by qpdf, classic table, RC4 128-bit
#             (revision 3), queried with the user password, vs the same
#   big-aes128  the same, classic table, AES-128 (revision 4), vs the same
#   big-xref-stream  the same objects, one cross-reference stream, vs the same
#   big-xref-stream-aes256  the same objects rewritten by qpdf with object
#             streams and AES-256 (revision 6), queried with the user
#             password, vs the same
#   start-up  a one-page file: process start-up on both sides (for reading
#             the ratios above; no aim)
#   no-eof    1 GB file without %%EOF      vs cat FILE > /dev/null (warm cache)
# Aim: ratio <= 0.1 on every form (fixtures, big, big-rc4, big-aes128,
# big-xref-stream, big-xref-stream-aes256), <= 3 for no-eof.
#
# Environment: PDF_QUERY=path to use a built tool instead of building one;
# BENCH_BUILD_DIR (default build-bench) for the Release build; REPEATS
# (default 5); BIG_OBJECTS (default 200000); NO_EOF_MB (default 1024).
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
bench=$root/bench
repeats=${REPEATS:-5}
big_objects=${BIG_OBJECTS:-200000}
no_eof_mb=${NO_EOF_MB:-1024}
qpdf=$(command -v qpdf) || { echo "bench_queries.sh: qpdf not found" >&2; exit 1; }

if [ -z "${PDF_QUERY:-}" ]; then
  build=${BENCH_BUILD_DIR:-$root/build-bench}
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build" -j2 --target pdf_query >/dev/null
  PDF_QUERY=$build/tests/pdf/pdf_query
fi

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT INT TERM

median() { # command file
  python3 "$bench/median_time.py" "$repeats" "$1"
}

report() { # label, command file ours, command file baseline, baseline name
  ours=$(median "$2")
  base=$(median "$3")
  python3 -c "import sys; o, b = float(sys.argv[2]), float(sys.argv[3]); \
print(f'{sys.argv[1]}: pagewire {o:.4f}s {sys.argv[4]} {b:.4f}s ratio {o / b:.2f}')" \
    "$1" "$ours" "$base" "$4"
}

# (a) fixtures, each queried with its user password.
: >"$tmp/a_ours"; : >"$tmp/a_base"
for f in "$root"/tests/pdf/fixtures/*.pdf; do
  echo "$PDF_QUERY --once $f user3" >>"$tmp/a_ours"
  echo "$qpdf --requires-password $f" >>"$tmp/a_base"
done
report fixtures "$tmp/a_ours" "$tmp/a_base" qpdf

# (b) one large file with a classic cross-reference table.
python3 "$bench/gen_big_pdf.py" "$tmp/big.pdf" "$big_objects"
echo "$PDF_QUERY --once $tmp/big.pdf" >"$tmp/b_ours"
echo "$qpdf --requires-password $tmp/big.pdf" >"$tmp/b_base"
report big "$tmp/b_ours" "$tmp/b_base" qpdf

# The same objects as qpdf writes them encrypted with a classic table: RC4
# (revision 3) and AES-128 (revision 4), user password "u".
for form in rc4:n aes128:y; do
  name=${form%%:*}
  "$qpdf" --allow-weak-crypto --preserve-unreferenced --encrypt u o 128 \
    --use-aes="${form#*:}" -- "$tmp/big.pdf" "$tmp/big_$name.pdf"
  echo "$PDF_QUERY --once $tmp/big_$name.pdf u" >"$tmp/${name}_ours"
  echo "$qpdf --requires-password $tmp/big_$name.pdf" >"$tmp/${name}_base"
  report "big-$name" "$tmp/${name}_ours" "$tmp/${name}_base" qpdf
done

python3 "$bench/gen_big_pdf.py" --xref-stream "$tmp/big_xs.pdf" "$big_objects"
echo "$PDF_QUERY --once $tmp/big_xs.pdf" >"$tmp/s_ours"
echo "$qpdf --requires-password $tmp/big_xs.pdf" >"$tmp/s_base"
report big-xref-stream "$tmp/s_ours" "$tmp/s_base" qpdf

# The same objects as qpdf writes them encrypted: one cross-reference stream,
# AES-256 (revision 6), user password "u". qpdf keeps objects that nothing
# refers to, and keeps them out of its object streams.
"$qpdf" --preserve-unreferenced --object-streams=generate --encrypt u o 256 -- \
  "$tmp/big_xs.pdf" "$tmp/big_aes.pdf"
echo "$PDF_QUERY --once $tmp/big_aes.pdf u" >"$tmp/e_ours"
echo "$qpdf --requires-password $tmp/big_aes.pdf" >"$tmp/e_base"
report big-xref-stream-aes256 "$tmp/e_ours" "$tmp/e_base" qpdf

# Start-up alone: a one-page file, where nearly all of either side's time is
# starting the process and loading its libraries. Not an aim; it shows how
# much of each ratio above no reading can remove.
echo "$PDF_QUERY --once $root/tests/pdf/fixtures/plain.pdf" >"$tmp/p_ours"
echo "$qpdf --requires-password $root/tests/pdf/fixtures/plain.pdf" >"$tmp/p_base"
report start-up "$tmp/p_ours" "$tmp/p_base" qpdf

# (c) a file of zero bytes with no %%EOF anywhere; written, not sparse, so
# both sides read real pages from the cache.
dd if=/dev/zero of="$tmp/no_eof.bin" bs=1M count="$no_eof_mb" status=none
cat "$tmp/no_eof.bin" >/dev/null
echo "$PDF_QUERY --once $tmp/no_eof.bin" >"$tmp/c_ours"
echo "cat $tmp/no_eof.bin" >"$tmp/c_base"
report no-eof "$tmp/c_ours" "$tmp/c_base" cat
