"""Checks the release packages that scripts/package made: the archive holds
exactly the expected files, its SHA256SUMS match its executables, and every
other package carries the same two executables, byte for byte.

    check_packages.py TOP ARCHIVE.zip [PACKAGE.tgz | PACKAGE.nupkg]...
"""
import hashlib
import sys
import tarfile
import zipfile

ARCHIVE_FILES = ("x64/contact-exporter.exe", "x86/contact-exporter.exe", "README.md", "CHANGELOG.md", "LICENSE",
                 "THIRD-PARTY-NOTICES.txt", "SHA256SUMS")
EXECUTABLE = "contact-exporter.exe"


def fail(message):
    sys.exit(f"package: {message}")


def digest(data):
    return hashlib.sha256(data).hexdigest()


def check_archive(archive, top):
    """The archive's sums, by bitness, once they are checked against its executables."""
    expected = {f"{top}/{path}" for path in ARCHIVE_FILES}
    with zipfile.ZipFile(archive) as bundle:
        files = {info.filename for info in bundle.infolist() if not info.is_dir()}
        if files != expected:
            fail(f"the archive holds {sorted(files)}, expected {sorted(expected)}")
        sums = {}
        for line in bundle.read(f"{top}/SHA256SUMS").decode("ascii").splitlines():
            expected_digest, path = line.split("  ", 1)
            if digest(bundle.read(f"{top}/{path}")) != expected_digest:
                fail(f"the sum of {path} does not match")
            sums[path.split("/")[0]] = expected_digest
    return sums


def executables(package):
    """(path, bytes) of every executable of an npm tarball or a NuGet package."""
    if package.endswith(".tgz"):
        with tarfile.open(package) as bundle:
            return [(member.name, bundle.extractfile(member).read()) for member in bundle.getmembers()
                    if member.isfile() and member.name.endswith(EXECUTABLE)]
    with zipfile.ZipFile(package) as bundle:
        return [(name, bundle.read(name)) for name in bundle.namelist() if name.endswith(EXECUTABLE)]


def bitness_of(path):
    folders = [part for part in path.replace("\\", "/").split("/")[:-1] if "x64" in part or "x86" in part]
    if len(folders) != 1:
        fail(f"cannot tell the bitness of {path}")
    return "x64" if "x64" in folders[0] else "x86"


def check_package(package, sums):
    found = {}
    for path, data in executables(package):
        bitness = bitness_of(path)
        if digest(data) != sums[bitness]:
            fail(f"{package}: {path} is not the archive's {bitness} executable")
        found[bitness] = path
    if set(found) != set(sums):
        fail(f"{package} carries executables for {sorted(found)}, expected {sorted(sums)}")


def main():
    top, archive, *packages = sys.argv[1:]
    sums = check_archive(archive, top)
    for package in packages:
        check_package(package, sums)


main()
