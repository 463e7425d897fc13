# i686 Windows, MinGW-w64 g++ with the posix thread model.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(LUMARA_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain-common.cmake)
# ctest runs every Windows executable through Wine with the environment the tests expect.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
