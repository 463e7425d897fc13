# x86_64 Windows, MinGW-w64 g++ with the posix thread model: the stand-in build of the DLL and
# its test host for machines whose Wine cannot start i686 programs (preset win64-standin).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(LUMARA_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain-common.cmake)
# x86_64 has one calling convention: the host interface's thiscall and stdcall attributes are
# ignored with a warning, which -Werror would turn into an error.
set(CMAKE_CXX_FLAGS_INIT -Wno-attributes)
# ctest runs every Windows executable through 64-bit Wine with its own prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine64-run.sh)
