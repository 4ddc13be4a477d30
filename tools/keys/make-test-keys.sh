#!/usr/bin/env bash
# The test keys and certificates of a build, made once per build folder and
# shared by all its trees (native, x86_64, i686), so that they embed the same
# public key and the tests sign with its private half:
#   tools/keys/make-test-keys.sh KEYS_DIR
# Each artefact is made only when it is missing; delete the folder for new ones.
# Nothing made here belongs in the repository or on a user's machine.
#
#   update-test.key, update-test.pub   the update list's signing key (ECDSA P-256,
#                                      PEM); the default build embeds the .pub
#   tls-test-ca.pem, tls-test-ca.der   a test certificate authority that the test
#                                      Wine prefixes trust
#   tls-test-server.pem/.key           a server certificate for "localhost" from it
#   tls-untrusted-server.pem/.key      the same from an authority nobody trusts
#   authenticode-test.pem/.key         a code-signing certificate and its key, from
#   authenticode-test-ca.pem           a test authority of its own; the default
#                                      build signs the programs and installers
#                                      with it (Windows does not trust it)
#
# Another kind of key: add a function below that makes its files when they are
# missing, and call it at the end.
set -euo pipefail
dir=${1:?usage: make-test-keys.sh KEYS_DIR}
mkdir -p "$dir"
command -v openssl >/dev/null || { echo "make-test-keys.sh: openssl is missing (tools/setup/install-deps.sh)" >&2; exit 1; }

update_key() {
  [ -s "$dir/update-test.key" ] && [ -s "$dir/update-test.pub" ] && return
  openssl ecparam -name prime256v1 -genkey -noout 2>/dev/null | openssl pkey -out "$dir/update-test.key.new"
  openssl pkey -in "$dir/update-test.key.new" -pubout -out "$dir/update-test.pub"
  chmod 600 "$dir/update-test.key.new"
  mv "$dir/update-test.key.new" "$dir/update-test.key"
}

# Whether both numbers of a certificate's ECDSA signature take all 32 bytes.
# Wine's certificate chain check rejects a signature with a shorter r or s
# (about one certificate in 128), which Windows accepts: the tests must not
# depend on that chance.
full_width_signature() { # certificate.pem
  local der offset
  der=$(mktemp)
  openssl x509 -in "$1" -outform DER -out "$der"
  offset=$(openssl asn1parse -inform DER -in "$der" | tail -n1 | cut -d: -f1 | tr -d ' ')
  openssl asn1parse -inform DER -in "$der" -strparse "$offset" |
    awk -F: '/INTEGER/ { n++; if (length($NF) == 64) full++ } END { exit !(n == 2 && full == 2) }'
  local status=$?
  rm -f "$der"
  return $status
}

# A certificate authority's key signs its server certificate and is thrown
# away: nothing else is ever signed with it.
tls_server() { # name-of-the-ca-file-prefix server-file-prefix
  local ca=$1 server=$2
  [ -s "$dir/$server.pem" ] && [ -s "$dir/$server.key" ] && [ -s "$dir/$ca.pem" ] && return
  for _ in $(seq 50); do
    make_tls_server "$ca" "$server"
    full_width_signature "$dir/$ca.pem" && full_width_signature "$dir/$server.pem" && return
  done
  echo "make-test-keys.sh: no $server certificate with a full-width signature" >&2
  return 1
}
make_tls_server() {
  local ca=$1 server=$2 work
  work=$(mktemp -d)
  openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -keyout "$work/ca.key" \
    -out "$dir/$ca.pem" -days 3650 -subj "/CN=Kavuno $ca" \
    -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" 2>/dev/null
  openssl x509 -in "$dir/$ca.pem" -outform DER -out "$dir/$ca.der"
  openssl req -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -keyout "$dir/$server.key" \
    -out "$work/server.csr" -subj "/CN=localhost" 2>/dev/null
  printf '%s\n' "subjectAltName=DNS:localhost" "basicConstraints=CA:FALSE" \
    "keyUsage=critical,digitalSignature" "extendedKeyUsage=serverAuth" > "$work/ext.cnf"
  openssl x509 -req -in "$work/server.csr" -CA "$dir/$ca.pem" -CAkey "$work/ca.key" -set_serial "0x$(openssl rand -hex 8)" \
    -out "$dir/$server.pem" -days 825 -extfile "$work/ext.cnf" 2>/dev/null
  rm -rf "$work"
}

# Code signing: a leaf certificate with the code-signing purpose, issued by
# an authority whose key is thrown away, as a publisher's certificate is.
authenticode() {
  [ -s "$dir/authenticode-test.pem" ] && [ -s "$dir/authenticode-test.key" ] && [ -s "$dir/authenticode-test-ca.pem" ] && return
  local work
  work=$(mktemp -d)
  openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/ca.key" -out "$dir/authenticode-test-ca.pem" \
    -days 3650 -subj "/CN=Kavuno Test Code Signing Authority" \
    -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" 2>/dev/null
  openssl req -newkey rsa:2048 -nodes -keyout "$work/signer.key" -out "$work/signer.csr" \
    -subj "/CN=Kavuno (test signature)/O=Kavuno" 2>/dev/null
  printf '%s\n' "basicConstraints=CA:FALSE" "keyUsage=critical,digitalSignature" \
    "extendedKeyUsage=codeSigning" > "$work/ext.cnf"
  openssl x509 -req -in "$work/signer.csr" -CA "$dir/authenticode-test-ca.pem" -CAkey "$work/ca.key" \
    -set_serial "0x$(openssl rand -hex 8)" -out "$dir/authenticode-test.pem" -days 3650 -extfile "$work/ext.cnf" 2>/dev/null
  chmod 600 "$work/signer.key"
  mv "$work/signer.key" "$dir/authenticode-test.key"
  rm -rf "$work"
}

(
  flock 9
  update_key
  tls_server tls-test-ca tls-test-server
  tls_server tls-untrusted-ca tls-untrusted-server
  authenticode
) 9>"$dir/.lock"
