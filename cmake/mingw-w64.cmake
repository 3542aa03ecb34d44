# Cross compilation for 64-bit Windows with MinGW-w64 (Debian: g++-mingw-w64-x86-64):
#   cmake -S . -B build-mingw -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DTC_BUILD_GUI=OFF ...
# Executables link the C and C++ run-time statically, so they run without MinGW DLLs beside them
# (under wine, too).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TC_MINGW_TRIPLET x86_64-w64-mingw32)

# The POSIX thread model: with GCC 12 the win32 one has no std::mutex (GoogleTest needs it).
find_program(TC_MINGW_CXX NAMES ${TC_MINGW_TRIPLET}-g++-posix ${TC_MINGW_TRIPLET}-g++)
find_program(TC_MINGW_CC NAMES ${TC_MINGW_TRIPLET}-gcc-posix ${TC_MINGW_TRIPLET}-gcc)
set(CMAKE_C_COMPILER ${TC_MINGW_CC})
set(CMAKE_CXX_COMPILER ${TC_MINGW_CXX})
set(CMAKE_RC_COMPILER ${TC_MINGW_TRIPLET}-windres)

# Libraries come from the MinGW sysroot and from CMAKE_PREFIX_PATH (cross-built dependencies),
# programs from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${TC_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# pkg-config must see the Windows libraries only, never the host's .pc files.
set(ENV{PKG_CONFIG_LIBDIR} "/usr/${TC_MINGW_TRIPLET}/lib/pkgconfig")

# Cross-built dependencies (CMAKE_PREFIX_PATH) are searched as sysroots of their own.
if(CMAKE_PREFIX_PATH)
    list(APPEND CMAKE_FIND_ROOT_PATH ${CMAKE_PREFIX_PATH})
endif()
