# The launcher's runtime packer: what it refuses, naming the file, and what it
# packs. Run as: cmake -DPACKER=<pack_runtime.cmake> -DWORK=<scratch dir> -P this
file(REMOVE_RECURSE "${WORK}")

function(pack name result_var error_var)
  execute_process(COMMAND ${CMAKE_COMMAND} -DFOLDER=${WORK}/${name} -DOUTPUT_DIR=${WORK}/${name}.out -P ${PACKER}
    RESULT_VARIABLE result ERROR_VARIABLE error OUTPUT_QUIET)
  set(${result_var} "${result}" PARENT_SCOPE)
  set(${error_var} "${error}" PARENT_SCOPE)
endfunction()

function(expect_packed name)
  file(MAKE_DIRECTORY ${WORK}/${name}.out)
  pack(${name} result error)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${name}: refused:\n${error}")
  endif()
endfunction()

function(expect_refusal name pattern)
  file(MAKE_DIRECTORY ${WORK}/${name}.out)
  pack(${name} result error)
  if(result EQUAL 0)
    message(FATAL_ERROR "${name}: packed, but should have been refused")
  endif()
  string(REGEX REPLACE "[ \t\r\n]+" " " error "${error}")  # CMake wraps its messages
  string(FIND "${error}" "${pattern}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${name}: refused without naming the cause (${pattern}):\n${error}")
  endif()
endfunction()

# A name outside code page 1252.
file(WRITE "${WORK}/greek/bin/Ωmega.dll" "x")
expect_refusal(greek "bin/Ωmega.dll\" cannot be written in code page 1252")

# An entry of 271 characters (no single Unix name may be that long).
string(REPEAT "a" 200 long_folder)
string(REPEAT "b" 70 long_file)
file(WRITE "${WORK}/long/${long_folder}/${long_file}" "x")
expect_refusal(long "${long_file}\" has a name of 271 characters; at most 232 fit")

# A short name in a folder of 229 characters: written, the folder could not be
# listed again for its removal. One of 228 is packed.
string(REPEAT "d" 229 deep_folder)
file(WRITE "${WORK}/deep/${deep_folder}/x" "x")
expect_refusal(deep "lies in a folder of 229 characters, which the launcher could not empty again; at most 228 fit")
string(REPEAT "d" 228 edge_folder)
file(WRITE "${WORK}/edge/${edge_folder}/xy" "x")
expect_packed(edge)

# A list of 150 entries of 201 characters and CR LF: 30450 bytes.
string(REPEAT "c" 196 stem)
foreach(i RANGE 100 249)
  file(WRITE "${WORK}/big/${stem}${i}.x" "")
endforeach()
expect_refusal(big "takes 30450 bytes; at most 29999 fit")

# A good one: sorted entries, backslashes, e acute as byte E9, CR LF after each.
file(WRITE "${WORK}/good/bin/javaw.exe" "java")
file(WRITE "${WORK}/good/lib/café.txt" "accent")
expect_packed(good)
file(READ "${WORK}/good.out/runtime_list.bin" list HEX)
# "bin\javaw.exe" CR LF "lib\caf" E9 ".txt" CR LF
set(expected "62696e5c6a617661772e6578650d0a6c69625c636166e92e7478740d0a")
if(NOT list STREQUAL expected)
  message(FATAL_ERROR "good: list is ${list}, expected ${expected}")
endif()
file(READ "${WORK}/good.out/runtime.rc" rc)
string(FIND "${rc}" "2001 RCDATA \"${WORK}/good/bin/javaw.exe\"\n2002 RCDATA \"${WORK}/good/lib/café.txt\"\n" at)
if(at EQUAL -1)
  message(FATAL_ERROR "good: resources out of order:\n${rc}")
endif()
file(REMOVE_RECURSE "${WORK}")
