# Paths shared by the project's scripts. Source it; it sets no options.
repo_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
# CONTACT_EXPORTER_BUILD_ROOT moves every build, the Wine prefix and the
# test runs' files elsewhere, so that two checkouts' builds never meet.
build_root="${CONTACT_EXPORTER_BUILD_ROOT:-$repo_root/build}"
windows_build="$build_root/windows"
e2e_build="$build_root/e2e"
export WINEPREFIX="${CONTACT_EXPORTER_WINEPREFIX:-$build_root/wineprefix}"
export WINEDEBUG=-all
export WINEARCH=win64

# The prefix is 64-bit, so Wine's 64-bit loader runs everything. Debian's
# `wine` command prefers the 32-bit loader whenever wine32 is installed, even
# on a kernel that cannot run 32-bit programs, so the loader is named here.
if [ -x /usr/lib/wine/wine64 ]; then
    export WINELOADER=/usr/lib/wine/wine64
    wine() { "$WINELOADER" "$@"; }
fi
