# Cross build for 64-bit Windows: the programs and their tests for hosts that
# cannot run 32-bit programs under Wine.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
