# Cross build for 32-bit Windows (machines whose RealPlayer control is 32-bit only).
# It compiles here but cannot run: this kernel does not execute 32-bit code.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(KAVUNO_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
