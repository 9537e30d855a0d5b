# Cross build for 64-bit Windows with Debian's MinGW-w64 (package g++-mingw-w64-x86-64-posix):
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DFORNITURA_FINESTRE=OFF
# The executables carry their runtime (no DLL to ship). Tests run through Wine, in a Wine prefix of
# their own inside the build folder.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(FORNITURA_MINGW x86_64-w64-mingw32)
# The "posix" flavour has std::thread and std::mutex, which GoogleTest needs.
set(CMAKE_C_COMPILER ${FORNITURA_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${FORNITURA_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${FORNITURA_MINGW}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${FORNITURA_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# C and C++ runtime and the threads library linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Windows executables run here through Wine: add_test() and gtest_discover_tests() use this.
find_program(FORNITURA_WINE NAMES wine wine64 PATHS /usr/lib/wine)
if(FORNITURA_WINE)
  set(FORNITURA_WINEPREFIX "${CMAKE_BINARY_DIR}/wine" CACHE PATH "Wine prefix of the tests")
  # Through cmake/wine-test.sh, which keeps one Wine server and its services for the run.
  set(CMAKE_CROSSCOMPILING_EMULATOR
      env WINEPREFIX=${FORNITURA_WINEPREFIX} WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
      FORNITURA_WINE=${FORNITURA_WINE} sh ${CMAKE_CURRENT_LIST_DIR}/wine-test.sh)
endif()
