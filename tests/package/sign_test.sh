#!/usr/bin/env bash
# Signing as scripts/package does it, with a certificate made for this run and thrown away: the
# programs and the installer carry a signature that verifies against that certificate, a file
# changed after signing fails, and the environment decides whether anything is signed at all.
#   sign_test.sh BUILD_DIR     (a Windows build tree with focura.exe, zsim64.dll and the guide)
set -uo pipefail
build="$(cd "$1" && pwd)"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
# shellcheck source=../../scripts/lib/sign.sh
source "$root/scripts/lib/sign.sh"
# shellcheck source=../../scripts/lib/msi-test.sh
source "$root/scripts/lib/msi-test.sh"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "FAIL: $*" >&2; failed=1; }

openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/cert.pem" -days 1 \
  -subj "/CN=Focura throw-away signer" -addext "extendedKeyUsage=codeSigning" \
  -addext "keyUsage=digitalSignature" 2>/dev/null || { echo "openssl req failed" >&2; exit 1; }
openssl pkcs12 -export -in "$work/cert.pem" -inkey "$work/key.pem" -out "$work/cert.pfx" \
  -passout pass:'throw away' || { echo "openssl pkcs12 failed" >&2; exit 1; }

# Whether to sign: nothing named is "unsigned", half of it is an error.
(unset FOCURA_SIGN_CERT FOCURA_SIGN_PASSWORD; focura_sign_wanted) && fail "signs with nothing named"
(unset FOCURA_SIGN_PASSWORD; FOCURA_SIGN_CERT="$work/cert.pfx" focura_sign_wanted 2>/dev/null) &&
  fail "signs without a password"
(FOCURA_SIGN_CERT="$work/cert.pfx" FOCURA_SIGN_PASSWORD='throw away' focura_sign_wanted) ||
  fail "does not sign with both named"

focura_msi_stage "$build" "$work/stage" || { echo "cannot stage the files" >&2; exit 1; }
python3 "$root/scripts/lib/make_msi.py" "$work/stage" "$work/focura.msi" >/dev/null ||
  { echo "make_msi.py failed" >&2; exit 1; }
files=("$work/stage/focura.exe" "$work/stage/zsim64.dll" "$work/focura.msi")
for file in "${files[@]}"; do
  osslsigncode verify -CAfile "$work/cert.pem" -in "$file" >/dev/null 2>&1 &&
    fail "$(basename "$file") verifies before it was signed"
done
FOCURA_SIGN_CERT="$work/cert.pfx" FOCURA_SIGN_PASSWORD='throw away' focura_sign "${files[@]}" ||
  fail "signing failed"
FOCURA_SIGN_CERT="$work/cert.pfx" FOCURA_SIGN_PASSWORD='wrong' focura_sign "$work/stage/zsim.exe" \
  2>/dev/null && fail "signed with a wrong password"
for file in "${files[@]}"; do
  out="$(osslsigncode verify -CAfile "$work/cert.pem" -in "$file" 2>&1)"
  grep -q 'Signature verification: ok' <<<"$out" || fail "$(basename "$file") does not verify"
  grep -q 'CN=Focura throw-away signer' <<<"$out" || fail "$(basename "$file") names another signer"
  grep -q 'Focura Acquisition' <<<"$out" || fail "$(basename "$file") carries no description"
done
# A byte changed after signing breaks the signature.
printf 'x' | dd of="$work/stage/zsim64.dll" bs=1 seek=4096 conv=notrunc 2>/dev/null
osslsigncode verify -CAfile "$work/cert.pem" -in "$work/stage/zsim64.dll" 2>&1 |
  grep -q 'Signature verification: ok' && fail "a changed file still verifies"
[ "$failed" -eq 0 ] && echo "signing: programs and installer signed and verified"
exit "$failed"
