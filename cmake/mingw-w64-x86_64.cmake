# Cross-builds for 64-bit Windows with Debian's MinGW-w64 compilers (the posix thread model,
# which std::thread and std::mutex need). Libraries and headers come from the Windows
# dependencies that scripts/windows-deps builds; pass their folder in:
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DSTOCKFIX_WINDOWS_PREFIX=<folder> ...
# Host programs (Qt's moc, rcc and uic among them) are the build machine's own.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

set(_stockfix_mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_stockfix_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_stockfix_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${_stockfix_mingw}-windres)

# CMake reads this file again in each of its try_compile projects, where the prefix
# given on the command line is not set unless it is handed on.
if(NOT STOCKFIX_WINDOWS_PREFIX AND DEFINED ENV{STOCKFIX_WINDOWS_PREFIX})
  set(STOCKFIX_WINDOWS_PREFIX "$ENV{STOCKFIX_WINDOWS_PREFIX}")
endif()
if(NOT STOCKFIX_WINDOWS_PREFIX)
  message(FATAL_ERROR "Set STOCKFIX_WINDOWS_PREFIX to the folder scripts/windows-deps built")
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES STOCKFIX_WINDOWS_PREFIX)

set(CMAKE_FIND_ROOT_PATH "${STOCKFIX_WINDOWS_PREFIX}" /usr/${_stockfix_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# No pkg-config: it would answer with the build machine's libraries.
set(PKG_CONFIG_EXECUTABLE "" CACHE FILEPATH "")

# Qt's host tools: Debian's Qt 6 of the same version (qt6-base-dev, qt6-base-dev-tools).
set(QT_HOST_PATH /usr CACHE PATH "")
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "")

# Programs carry MinGW's run-time (libgcc, libstdc++, winpthread) inside: nothing to ship beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")
# A library that CMake links as -Wl,-Bstatic -lname (Windows' odbc32, from Qt's ODBC driver) is
# followed by -Wl,-Bdynamic, which would bring back the run-time DLLs after it.
set(CMAKE_LINK_SEARCH_END_STATIC ON)
