# GoogleTest for the test trees: a packaged GoogleTest where CMake finds one
# (vcpkg, a distribution's -dev package), otherwise Debian's sources, built
# along with the tests. Either way the tests link GTest::gtest_main.
find_package(GTest CONFIG QUIET)
if(NOT TARGET GTest::gtest_main)
    set(googletest_sources /usr/src/googletest)
    if(NOT EXISTS ${googletest_sources}/CMakeLists.txt)
        message(FATAL_ERROR "GoogleTest not found: install a GoogleTest package that CMake finds "
                            "(find_package(GTest)), or Debian's googletest sources")
    endif()
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
    add_subdirectory(${googletest_sources} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    if(NOT TARGET GTest::gtest_main)  # older GoogleTest sources name it gtest_main only
        add_library(GTest::gtest_main ALIAS gtest_main)
    endif()
endif()
