# The product's version, X.Y.Z: stated once, in the top CMakeLists.txt's
# project() call, for the executables' version resources and every package.
product_version() {
    sed -n 's/^project(ContactExporter VERSION \([0-9]*\.[0-9]*\.[0-9]*\).*/\1/p' "$repo_root/CMakeLists.txt"
}
