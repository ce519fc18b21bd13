#!/usr/bin/env bash
# Signs a Windows executable in place with osslsigncode (Authenticode,
# SHA-256, the certificate's chain included): sign.sh FILE CERT.pem KEY.pem
set -euo pipefail
file=$1 cert=$2 key=$3
osslsigncode sign -certs "$cert" -key "$key" -h sha256 -n Pagewire \
  -in "$file" -out "$file.signed" >/dev/null
mv "$file.signed" "$file"
