# Cross tool chain: 32-bit Windows with Debian's mingw-w64 (posix threads).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
# The cross-built third-party libraries live in the output folder's own
# prefix (scripts/setup.sh makes it, scripts/build.sh names it).
if(NOT RV_DEPS_PREFIX)
  if(DEFINED ENV{RV_DEPS_PREFIX})
    set(RV_DEPS_PREFIX "$ENV{RV_DEPS_PREFIX}")
  else()
    get_filename_component(RV_DEPS_PREFIX "${CMAKE_CURRENT_LIST_DIR}/../build/out/deps/prefix" ABSOLUTE)
  endif()
endif()
# Checks made while configuring run with this file again: hand the prefix on.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES RV_DEPS_PREFIX)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32 "${RV_DEPS_PREFIX}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
