#!/usr/bin/env bash
# Signs a Windows program or installer in place with an Authenticode signature
# (SHA-256) through osslsigncode:
#   sign.sh --cert FILE [--key FILE] [--password-file FILE] [--timestamp URL]
#           [--copy DEST] FILE
# --cert is a PEM or DER certificate (with its chain, if any) and --key its
# private key; a .pfx/.p12 --cert without --key holds both. --timestamp asks
# an RFC 3161 time-stamp server to countersign, so that the signature outlives
# the certificate. --copy keeps a copy of the signed file (makensis hands over
# the uninstaller only for the time of signing it).
set -euo pipefail
cert="" key="" password="" timestamp="" copy=""
while [ $# -gt 1 ]; do
  case "$1" in
    --cert) cert=$2 ;;
    --key) key=$2 ;;
    --password-file) password=$2 ;;
    --timestamp) timestamp=$2 ;;
    --copy) copy=$2 ;;
    *) echo "sign.sh: unknown option $1" >&2; exit 2 ;;
  esac
  shift 2
done
file=${1:?usage: sign.sh --cert FILE [--key FILE] [--timestamp URL] [--copy DEST] FILE}
[ -n "$cert" ] || { echo "sign.sh: --cert is missing" >&2; exit 2; }

args=(sign -h sha256 -n Kavuno)
case "$cert" in
  *.pfx|*.p12) [ -z "$key" ] && args+=(-pkcs12 "$cert") || args+=(-certs "$cert" -key "$key") ;;
  *) args+=(-certs "$cert" -key "${key:?sign.sh: --key is missing}") ;;
esac
[ -n "$password" ] && args+=(-readpass "$password")
[ -n "$timestamp" ] && args+=(-ts "$timestamp")

signed="$file.signed"
rm -f "$signed"
if ! osslsigncode "${args[@]}" -in "$file" -out "$signed" >"$signed.log" 2>&1; then
  cat "$signed.log" >&2
  rm -f "$signed" "$signed.log"
  echo "sign.sh: could not sign $file" >&2
  exit 1
fi
rm -f "$signed.log"
mv -f "$signed" "$file"
[ -z "$copy" ] || cp -f "$file" "$copy"
