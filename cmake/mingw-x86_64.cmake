# Cross-compiling the 64-bit twin of the Windows tree with mingw-w64.  The
# twin is never shipped: it runs the same sources under wine64 on machines
# whose kernel cannot run 32-bit programs, Wine's 32-bit loader included.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
