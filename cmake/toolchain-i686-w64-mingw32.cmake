set(TOOLCHAIN_TRIPLE i686-w64-mingw32)
# The release target. The win32 thread model's runtime calls Windows directly, where the
# posix one links the winpthread library into every executable (some 35 KB of the
# launcher); the programs start no threads of their own.
set(TOOLCHAIN_THREADS win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
