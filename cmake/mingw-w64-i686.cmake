# The product: 32-bit Windows programs.
set(VT_MINGW_TRIPLE i686-w64-mingw32)
set(VT_MINGW_PROCESSOR x86)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
