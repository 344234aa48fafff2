# The portable cores of the graphics module (no Windows headers) as a host
# library: for the encoder tool, the fast tests and the fuzz targets. Included
# by this folder's CMakeLists.txt in the host build and by the tools when they
# are built on their own from within the Windows build.
get_filename_component(graphics_source_root "${CMAKE_CURRENT_LIST_DIR}/../.." ABSOLUTE)
set(graphics_dir "${CMAKE_CURRENT_LIST_DIR}")
set(graphics_core_sources
  ${graphics_dir}/lzwgfx.cpp
  ${graphics_dir}/dib.cpp
  ${graphics_dir}/popularity_palette.cpp
  ${graphics_dir}/color_map.cpp
  ${graphics_dir}/dither.cpp
  ${graphics_dir}/scale.cpp)

add_library(setup_graphics_core STATIC ${graphics_core_sources} ${graphics_dir}/blocks_host.cpp)
target_include_directories(setup_graphics_core PUBLIC ${graphics_source_root})
target_compile_options(setup_graphics_core PRIVATE -Wall -Wextra -Werror)
