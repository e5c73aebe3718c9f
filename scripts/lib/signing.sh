# Authenticode signing of the executables with osslsigncode, configured by
# the environment (see scripts/package). Source it after paths.sh.

signing_configured() {
    [ -n "${CONTACT_EXPORTER_SIGNING_CERTIFICATE:-}" ]
}

# Signs each file in place, with SHA-256 digests, timestamped when a
# timestamp server is named. The password reaches osslsigncode through a
# file of this user's alone, never on a command line that others can read.
sign_executables() {
    local certificate="$CONTACT_EXPORTER_SIGNING_CERTIFICATE"
    [ -f "$certificate" ] || { echo "signing: no certificate file at $certificate" >&2; return 1; }
    [ -n "${CONTACT_EXPORTER_SIGNING_PASSWORD+set}" ] ||
        { echo "signing: CONTACT_EXPORTER_SIGNING_PASSWORD is not set" >&2; return 1; }
    local timestamp=()
    [ -n "${CONTACT_EXPORTER_TIMESTAMP_URL:-}" ] && timestamp=(-ts "$CONTACT_EXPORTER_TIMESTAMP_URL")
    local password_file status=0
    password_file="$(mktemp)"
    printf '%s' "$CONTACT_EXPORTER_SIGNING_PASSWORD" >"$password_file"
    local file
    for file in "$@"; do
        osslsigncode sign -pkcs12 "$certificate" -readpass "$password_file" -h sha256 \
            -n "contact-exporter" "${timestamp[@]}" -in "$file" -out "$file.signed" >"$file.signing.log" 2>&1 &&
            mv "$file.signed" "$file" && rm -f "$file.signing.log" ||
            { echo "signing: osslsigncode could not sign $file:" >&2; cat "$file.signing.log" >&2; status=1; break; }
    done
    rm -f "$password_file"
    return $status
}
