# Packs a Java runtime folder for the launcher's resources:
#   cmake -DFOLDER=<runtime folder> -DOUTPUT_DIR=<dir> -P pack_runtime.cmake
# writes <dir>/runtime_list.bin, the file list in code page 1252 with CR LF
# after every entry (resource 2000), and <dir>/runtime.rc with the list and one
# resource per file (2001 and up, in list order). A file whose name cannot be
# written in code page 1252, a list over 29,999 bytes, or a file that the
# launcher could not remove again, stops the build with a message naming it.
#
# The launcher writes the runtime into %SystemRoot%\Temp\BundledJVM and removes
# it with the same 259-character paths: a file's path, and its folder's with
# "\*.*" (the listing pattern), must fit. Checked for C:\WINDOWS (26 characters
# for C:\WINDOWS\Temp\BundledJVM): names up to 232 characters, folders up to 228.
set(runtime_base_length 26)
set(path_limit 259)
math(EXPR name_limit "${path_limit} - ${runtime_base_length} - 1")
math(EXPR folder_limit "${name_limit} - 4")
if(NOT IS_DIRECTORY "${FOLDER}")
  message(FATAL_ERROR "WIZSTART_PRIVATE_RUNTIME: \"${FOLDER}\" is not a folder.")
endif()
file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE "${FOLDER}" "${FOLDER}/*")
list(SORT files)

# The code page 1252 form of a text, through iconv; empty when it has none.
function(to_cp1252 text out_file ok_var)
  file(WRITE "${out_file}.utf8" "${text}")
  execute_process(COMMAND iconv -f UTF-8 -t CP1252 "${out_file}.utf8"
    OUTPUT_FILE "${out_file}" RESULT_VARIABLE failed ERROR_QUIET)
  file(REMOVE "${out_file}.utf8")
  if(failed)
    set(${ok_var} FALSE PARENT_SCOPE)
  else()
    set(${ok_var} TRUE PARENT_SCOPE)
  endif()
endfunction()

set(list_text "")
set(rc "LANGUAGE 0x09, 0x01\n2000 RCDATA \"${OUTPUT_DIR}/runtime_list.bin\"\n")
set(number 2001)
set(scratch "${OUTPUT_DIR}/entry.tmp")
foreach(file IN LISTS files)
  string(REPLACE "/" "\\" entry "${file}")
  to_cp1252("${entry}" "${scratch}" ok)
  if(NOT ok)
    message(FATAL_ERROR "WIZSTART_PRIVATE_RUNTIME: the name of \"${file}\" cannot be written in code page 1252.")
  endif()
  file(SIZE "${scratch}" length)
  if(length GREATER name_limit)
    message(FATAL_ERROR "WIZSTART_PRIVATE_RUNTIME: \"${file}\" has a name of ${length} characters; "
      "at most ${name_limit} fit in C:\\WINDOWS\\Temp\\BundledJVM.")
  endif()
  get_filename_component(folder "${file}" DIRECTORY)
  if(folder)
    to_cp1252("${folder}" "${scratch}" ok)
    file(SIZE "${scratch}" folder_length)
    if(folder_length GREATER folder_limit)
      message(FATAL_ERROR "WIZSTART_PRIVATE_RUNTIME: \"${file}\" lies in a folder of ${folder_length} characters, "
        "which the launcher could not empty again; at most ${folder_limit} fit in C:\\WINDOWS\\Temp\\BundledJVM.")
    endif()
  endif()
  string(APPEND list_text "${entry}\r\n")
  string(APPEND rc "${number} RCDATA \"${FOLDER}/${file}\"\n")
  math(EXPR number "${number} + 1")
endforeach()
file(REMOVE "${scratch}")

to_cp1252("${list_text}" "${OUTPUT_DIR}/runtime_list.bin" ok)
file(SIZE "${OUTPUT_DIR}/runtime_list.bin" size)
if(size GREATER 29999)
  message(FATAL_ERROR "WIZSTART_PRIVATE_RUNTIME: the file list of \"${FOLDER}\" takes ${size} bytes; at most 29999 fit.")
endif()
file(WRITE "${OUTPUT_DIR}/runtime.rc.new" "${rc}")
file(COPY_FILE "${OUTPUT_DIR}/runtime.rc.new" "${OUTPUT_DIR}/runtime.rc" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT_DIR}/runtime.rc.new")
