# The project's Wine prefix: created on first use, with the Outlook stand-in
# registered and the default Office keys written. Source it after paths.sh.

# The Windows (Z:) form of a Unix path.
windows_path() {
    local path
    path="$(realpath -m -- "$1")"
    path="Z:${path//\//\\}"
    printf '%s\n' "$path"
}

# The lock that runs hold while they use the prefix: shared by plain runs,
# exclusive for runs that change the registry (and for preparing the prefix).
standin_run_lock="$WINEPREFIX/.standin-run.lock"

# Creates and prepares the prefix unless it is already prepared for the
# stand-in DLL as built now. Safe to call from several processes at once.
prepare_prefix() {
    local dll="$windows_build/bin/outlook-standin.dll"
    local launcher="$windows_build/bin/standin-launcher.exe"
    if [ ! -f "$dll" ] || [ ! -f "$launcher" ]; then
        echo "prepare_prefix: the stand-ins are not built (run scripts/build)" >&2
        return 2
    fi
    local dll_windows stamp expected
    dll_windows="$(windows_path "$dll")"
    stamp="$WINEPREFIX/.standin-prepared"
    # Bump the format when what preparation writes changes.
    expected="format 3; outlook-standin=$dll_windows"
    if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$expected" ]; then
        return 0
    fi

    mkdir -p "$(dirname "$WINEPREFIX")"
    (
        flock -x 8
        # Another process may have prepared it while this one waited.
        if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$expected" ]; then
            exit 0
        fi
        if [ ! -f "$WINEPREFIX/system.reg" ]; then
            # No Mono or Gecko installers; wineboot's helpers must not keep
            # the caller's output or the lock open.
            WINEDLLOVERRIDES="mscoree,mshtml=" wine wineboot.exe -i </dev/null >/dev/null 2>&1 8>&- ||
                { echo "prepare_prefix: wineboot failed for $WINEPREFIX" >&2; exit 1; }
            # Let the server that booted the prefix finish; runs then start
            # from a settled prefix instead of racing its first-boot helpers.
            wineserver -w </dev/null >/dev/null 2>&1 8>&-
        fi
        local log="$WINEPREFIX/.standin-prepare.log"
        (
            flock -x 9
            WINEDLLOVERRIDES="mscoree,mshtml=" wine "$launcher" --prepare-prefix "$dll_windows" \
                </dev/null >"$log" 2>&1 8>&- 9>&-
        ) 9>"$standin_run_lock" || {
            echo "prepare_prefix: registering the stand-ins failed:" >&2
            cat "$log" >&2
            exit 1
        }
        printf '%s\n' "$expected" >"$stamp"
    ) 8>"$WINEPREFIX.lock"
}
