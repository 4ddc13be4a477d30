#!/usr/bin/env bash
# The Windows tests' signed lists, made by the native kavuno-release as an
# operator would: a release signed with one key, the same signed with
# another, and the first key's public point as the launcher embeds it.
#   make-signed-lists.sh KAVUNO_RELEASE OUT_DIR
set -euo pipefail
tool=$1 out=$2
[ -x "$tool" ] || { echo "make-signed-lists.sh: $tool is not built (make build-native)" >&2; exit 1; }
rm -rf "$out"
mkdir -p "$out/src/skin"
head -c 70000 /dev/urandom > "$out/src/movie.dat"
printf 'poster' > "$out/src/电影 海报.dat"
: > "$out/src/skin/blue.bmp"
"$tool" keygen "$out/k.key" "$out/k.pub" >/dev/null
"$tool" keygen "$out/other.key" "$out/other.pub" >/dev/null
"$tool" publish "$out/src" "$out/srv" --key "$out/k.key" --target win64 --serial 5 >/dev/null
"$tool" publish "$out/src" "$out/other" --key "$out/other.key" --target win64 --serial 5 >/dev/null
openssl pkey -pubin -in "$out/k.pub" -outform DER | tail -c 64 > "$out/k.point"
