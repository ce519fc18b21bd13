# Cross-builds for 64-bit Windows with Debian's MinGW-w64 (posix thread model,
# which has std::thread and std::mutex). Programs are linked statically against
# libgcc, libstdc++ and winpthread so that they import only system DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(PAGEWIRE_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${PAGEWIRE_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PAGEWIRE_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${PAGEWIRE_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${PAGEWIRE_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")

# Test programs run under Wine in a private prefix and display (scripts/wine-run.sh).
get_filename_component(_pagewire_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${_pagewire_root}/scripts/wine-run.sh")
