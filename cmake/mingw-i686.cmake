# Cross-build for 32-bit Windows with MinGW-w64 (posix threads).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(ZYK_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER   ${ZYK_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZYK_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${ZYK_TRIPLE}-windres)
set(CMAKE_AR           ${ZYK_TRIPLE}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB       ${ZYK_TRIPLE}-ranlib CACHE FILEPATH "")
find_program(ZYK_WIDL NAMES ${ZYK_TRIPLE}-widl widl REQUIRED)

set(CMAKE_FIND_ROOT_PATH /usr/${ZYK_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Test programs run under Wine; tools/zyk provides the prefix and display.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)

# Only system DLLs are imported: the C and C++ runtimes are linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT    "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
