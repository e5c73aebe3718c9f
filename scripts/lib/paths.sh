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
