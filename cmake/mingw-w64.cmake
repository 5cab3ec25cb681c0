# Cross-compiling for 64-bit Windows with Debian's mingw-w64 toolchain (the POSIX thread model,
# which std::thread and std::mutex need). The C++ runtime is linked statically, so a program
# or DLL built here needs nothing but the system's DLLs and the ones shipped beside it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MINGW_TRIPLET x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# libgcc, libstdc++ and winpthread go into each binary instead of three more DLLs.
# (-static links every library named by -l from its archive; mingw's system import libraries
# are archives too, and libraries named by their path are linked as they are.)
set(VREX_STATIC_RUNTIME "-static")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${VREX_STATIC_RUNTIME}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${VREX_STATIC_RUNTIME}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${VREX_STATIC_RUNTIME}")

# Tests run the cross-built programs through Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
