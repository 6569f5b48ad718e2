# Cross build for 64-bit Windows with Debian's MinGW-w64 GCC (the posix-threads flavour, which
# std::thread and std::mutex need). Programs built this way run on Windows or under wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ORVIX_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ORVIX_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ORVIX_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${ORVIX_MINGW_PREFIX}-windres)

# Libraries and headers only from the target's root (and from prefixes given on the command
# line, such as a GoogleTest built for the target); programs from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${ORVIX_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Qt for Windows cross-built by scripts/windows-qt-kit.sh: ORVIX_QT_KIT is its folder. Found as
# another root of the target (a prefix path alone would be re-rooted under the roots above).
set(CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ORVIX_QT_KIT)
if(ORVIX_QT_KIT)
    list(APPEND CMAKE_FIND_ROOT_PATH ${ORVIX_QT_KIT})
    # The kit's moc, rcc and uic are the build machine's own Qt tools of the same version.
    if(NOT QT_HOST_PATH)
        set(QT_HOST_PATH /usr CACHE PATH "Qt for the build machine (its moc, rcc, uic)")
        execute_process(COMMAND dpkg-architecture -qDEB_HOST_MULTIARCH
                        OUTPUT_VARIABLE ORVIX_MULTIARCH OUTPUT_STRIP_TRAILING_WHITESPACE)
        set(QT_HOST_PATH_CMAKE_DIR /usr/lib/${ORVIX_MULTIARCH}/cmake
            CACHE PATH "The build machine's Qt CMake packages")
    endif()
else()
    # Without Qt, the C++ runtime is linked in, so the programs run without MinGW's DLLs beside
    # them. With Qt they share the runtime DLLs that Qt's DLLs use, one copy in the process.
    set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
endif()

# Tests and test discovery run the programs under wine when it is there.
find_program(ORVIX_WINE NAMES wine wine64)
if(ORVIX_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${ORVIX_WINE})
endif()
