# Cross build for 32-bit Windows with MinGW-w64. A 32-bit exporter is the
# one that loads the MAPI runtime of a 32-bit Outlook.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(mingw_triple i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)

set(CMAKE_CROSSCOMPILING_EMULATOR wine)
