# 32-bit Windows: the program as shipped.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(INKSLIP_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# Test programs run through 32-bit Wine; the exit code passes through.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-exec.sh)
