# Authenticode signing of the release's programs and installer with osslsigncode, when a
# certificate is named in the environment:
#   FOCURA_SIGN_CERT       a PKCS#12 file (.pfx or .p12) with the code-signing certificate and key
#   FOCURA_SIGN_PASSWORD   its password
#   FOCURA_SIGN_TIMESTAMP  optional: a timestamp server's URL, so that signatures outlive the
#                          certificate
# The password reaches osslsigncode through a pipe, never its command line.

# Succeeds when both the certificate and its password are named; says what is missing otherwise.
focura_sign_wanted() {
  if [ -z "${FOCURA_SIGN_CERT:-}" ] && [ -z "${FOCURA_SIGN_PASSWORD:-}" ]; then
    return 1
  fi
  if [ -z "${FOCURA_SIGN_CERT:-}" ] || [ -z "${FOCURA_SIGN_PASSWORD+set}" ]; then
    echo "signing needs both FOCURA_SIGN_CERT and FOCURA_SIGN_PASSWORD" >&2
    exit 1
  fi
  [ -f "$FOCURA_SIGN_CERT" ] || { echo "FOCURA_SIGN_CERT: no file $FOCURA_SIGN_CERT" >&2; exit 1; }
}

# focura_sign FILE...: signs each file in place (SHA-256), named as the product.
focura_sign() {
  local file signed timestamp=()
  [ -z "${FOCURA_SIGN_TIMESTAMP:-}" ] || timestamp=(-ts "$FOCURA_SIGN_TIMESTAMP")
  for file in "$@"; do
    signed="$file.signed"
    rm -f "$signed"
    osslsigncode sign -pkcs12 "$FOCURA_SIGN_CERT" -readpass <(printf '%s' "$FOCURA_SIGN_PASSWORD") \
      -h sha256 -n "Focura Acquisition" "${timestamp[@]}" -in "$file" -out "$signed" >/dev/null ||
      { rm -f "$signed"; echo "cannot sign $file" >&2; return 1; }
    mv "$signed" "$file"
  done
}
