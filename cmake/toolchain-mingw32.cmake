# Cross-compiling the Windows product with mingw-w64 for i686 (posix threads),
# the build that runs on 32-bit Windows XP and every later Windows. Its
# programs cannot be run here (no 32-bit Wine): the build is compiled and its
# imports checked, the behaviour is proven by the win64 build of the same
# sources.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(QM_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
