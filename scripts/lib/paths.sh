# Paths shared by the project's scripts. Source it; it sets no options.
repo_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build_root="$repo_root/build"
windows_build="$build_root/windows"
e2e_build="$build_root/e2e"
export WINEPREFIX="${CONTACT_EXPORTER_WINEPREFIX:-$build_root/wineprefix}"
export WINEDEBUG=-all
export WINEARCH=win64
