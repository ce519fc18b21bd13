#!/usr/bin/env bash
# Signs copies of the given executables with a throw-away self-signed
# certificate (scripts/sign.sh) and checks that osslsigncode finds each
# signature and its signer; whether the certificate is trusted is not asked.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Pagewire Test Signing" \
  -addext "extendedKeyUsage=codeSigning" -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
for file in "$@"; do
  copy=$work/$(basename "$file")
  cp "$file" "$copy"
  "$here/../../scripts/sign.sh" "$copy" "$work/cert.pem" "$work/key.pem"
  report=$(osslsigncode verify -in "$copy" -CAfile "$work/cert.pem" 2>&1 || true)
  if ! grep -q "CN=Pagewire Test Signing" <<<"$report"; then
    echo "no signature found in $(basename "$file"):" >&2
    echo "$report" >&2
    exit 1
  fi
  echo "signed: $(basename "$file")"
done
