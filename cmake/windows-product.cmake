# Compile and link settings of the shipped programs: small, static, warning-free.
# Exceptions, RTTI and unwind tables are off (the programs use none of them) and
# unused sections are dropped, so the C++ runtime adds next to nothing.
add_library(product_options INTERFACE)
target_compile_options(product_options INTERFACE
  -Os -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables -fno-threadsafe-statics
  -ffunction-sections -fdata-sections
  -Wall -Wextra -Werror)
target_compile_definitions(product_options INTERFACE
  UNICODE _UNICODE WINVER=0x0601 _WIN32_WINNT=0x0601)
target_include_directories(product_options INTERFACE ${PROJECT_SOURCE_DIR})

# Link settings of a shipped executable: a GUI program with a wide entry point,
# everything but Windows' own DLLs linked in, no symbols.
function(make_product_program target)
  target_link_options(${target} PRIVATE -static -s -Wl,--gc-sections -mwindows -municode)
endfunction()
