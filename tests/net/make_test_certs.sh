#!/bin/sh
# Makes a test authority and server certificates in DIR, all with one key (key.pem):
# ca.crt / ca.der (the authority), good.crt (localhost and 127.0.0.1), wrongname.crt
# (other.example), expired.crt (2020), selfsigned.crt (localhost, signed by itself).
# Usage: make_test_certs.sh DIR
cd "$1" || exit 1
quiet() { "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; exit 1; }; }
sign() { # name, subject, alternative names, then dates for `openssl ca` if any
    quiet openssl req -new -key key.pem -subj "/CN=$2" -out "$1.csr"
    printf 'subjectAltName=%s\nextendedKeyUsage=serverAuth\n' "$3" >"$1.ext"
    quiet openssl ca -batch -config ca.cnf -notext -extfile "$1.ext" -in "$1.csr" -out "$1.crt" ${4:+-startdate $4 -enddate $5}
}
quiet openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.crt -days 2 -subj "/CN=Quendra Test Authority" \
    -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign"
quiet openssl x509 -in ca.crt -outform der -out ca.der
quiet openssl genrsa -out key.pem 2048
: >index.txt
echo 1000 >serial
printf '[ca]\ndefault_ca=test\n[test]\ndatabase=index.txt\nnew_certs_dir=.\nserial=serial\ncertificate=ca.crt\nprivate_key=ca.key\ndefault_md=sha256\ndefault_days=2\npolicy=any\nunique_subject=no\n[any]\ncommonName=supplied\n' >ca.cnf
sign good localhost "DNS:localhost,IP:127.0.0.1"
sign wrongname other.example "DNS:other.example"
sign expired localhost "DNS:localhost,IP:127.0.0.1" 20200101000000Z 20200201000000Z
quiet openssl req -x509 -key key.pem -out selfsigned.crt -days 2 -subj "/CN=localhost" \
    -addext "subjectAltName=DNS:localhost,IP:127.0.0.1"
