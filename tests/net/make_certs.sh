#!/bin/sh
# Throw-away certificates for the net tests, made in directory $1:
#   ca.pem          a test CA
#   server.pem/key  a server certificate for "localhost" signed by that CA
#   other-ca.pem    another CA
#   other.pem/key   a server certificate for "localhost" signed by the other CA
set -eu
cd "$1"
key() { openssl genpkey -algorithm EC -pkeyopt ec_paramgen_curve:prime256v1 -out "$1" 2>/dev/null; }
printf 'basicConstraints=critical,CA:TRUE\nkeyUsage=critical,keyCertSign,cRLSign\n' > ca.ext
printf 'basicConstraints=CA:FALSE\nsubjectAltName=DNS:localhost\nextendedKeyUsage=serverAuth\nkeyUsage=digitalSignature\n' > srv.ext
for ca in ca other-ca; do
  key "$ca.key"
  openssl req -new -key "$ca.key" -subj "/CN=Sociantes test $ca" -out "$ca.csr"
  openssl x509 -req -in "$ca.csr" -signkey "$ca.key" -days 2 -extfile ca.ext -out "$ca.pem" 2>/dev/null
done
for pair in server:ca other:other-ca; do
  name=${pair%%:*}; ca=${pair#*:}
  key "$name.key"
  openssl req -new -key "$name.key" -subj "/CN=localhost" -out "$name.csr"
  openssl x509 -req -in "$name.csr" -CA "$ca.pem" -CAkey "$ca.key" -CAcreateserial -days 2 \
    -extfile srv.ext -out "$name.pem" 2>/dev/null
done
