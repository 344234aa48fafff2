# Compile and link settings of the shipped programs: small, static, warning-free.
# Exceptions, RTTI and unwind tables are off (the programs use none of them) and
# unused sections are dropped, so the C++ runtime adds next to nothing.
#
# product_interface: what every user of the product code needs (tests too).
# product_options: how the product code itself is compiled (PRIVATE use only).
add_library(product_interface INTERFACE)
target_compile_definitions(product_interface INTERFACE
  UNICODE _UNICODE WINVER=0x0601 _WIN32_WINNT=0x0601)
target_include_directories(product_interface INTERFACE ${PROJECT_SOURCE_DIR})

add_library(product_options INTERFACE)
target_compile_options(product_options INTERFACE
  -Os -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables -fno-threadsafe-statics
  -ffunction-sections -fdata-sections
  -Wall -Wextra -Werror)
target_link_libraries(product_options INTERFACE product_interface)

# A library of product code.
function(add_product_library target)
  add_library(${target} STATIC ${ARGN})
  target_link_libraries(${target} PUBLIC product_interface PRIVATE product_options)
endfunction()

# Link settings of a shipped executable: a GUI program with a wide entry point,
# everything but Windows' own DLLs linked in, no symbols.
function(make_product_program target)
  target_link_libraries(${target} PRIVATE product_options)
  target_link_options(${target} PRIVATE -static -s -Wl,--gc-sections -mwindows -municode)
endfunction()
