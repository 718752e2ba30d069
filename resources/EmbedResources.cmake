# Turns the resources named in an .rc file into a C++ table of bytes.
# cmake -DRC_FILE=... -DOUTPUT=... -P EmbedResources.cmake
# Only lines of the form `<id> <TYPE> "<file>"` are taken; file names are relative to the .rc.

if(NOT RC_FILE OR NOT OUTPUT)
  message(FATAL_ERROR "EmbedResources.cmake needs RC_FILE and OUTPUT")
endif()

get_filename_component(rc_dir "${RC_FILE}" DIRECTORY)
file(STRINGS "${RC_FILE}" rc_lines REGEX "^[ \t]*[0-9]+[ \t]+[A-Za-z_][A-Za-z0-9_]*[ \t]+\"[^\"]+\"")

set(body "")
set(entries "")
set(index 0)
foreach(line IN LISTS rc_lines)
  string(REGEX MATCH "^[ \t]*([0-9]+)[ \t]+([A-Za-z_][A-Za-z0-9_]*)[ \t]+\"([^\"]+)\"" _ "${line}")
  set(id "${CMAKE_MATCH_1}")
  set(type "${CMAKE_MATCH_2}")
  set(name "${CMAKE_MATCH_3}")
  set(path "${rc_dir}/${name}")
  if(NOT EXISTS "${path}")
    message(FATAL_ERROR "resource ${id}: ${path} not found")
  endif()
  file(READ "${path}" hex HEX)
  string(LENGTH "${hex}" hex_length)
  math(EXPR size "${hex_length} / 2")
  # 0xNN, per byte, 16 to a line.
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REPEAT "0x..," 16 sixteen)  # CMake's regex has no {n}
  string(REGEX REPLACE "(${sixteen})" "\\1\n    " bytes "${bytes}")
  string(APPEND body "// ${name}\nconst unsigned char kResource${index}[] = {\n    ${bytes}\n};\n\n")
  string(APPEND entries "    {${id}, \"${type}\", kResource${index}, ${size}},\n")
  math(EXPR index "${index} + 1")
endforeach()

if(index EQUAL 0)
  message(FATAL_ERROR "no resources found in ${RC_FILE}")
endif()

set(content "// Generated from ${RC_FILE} by EmbedResources.cmake. Do not edit.\n#include \"resources/ModuleResourceTable.h\"\n\nnamespace {\n\n${body}}  // namespace\n\nconst ModuleResourceEntry gModuleResources[] = {\n${entries}};\n\nconst int gNumModuleResources = ${index};\n")

# Rewrite only on change so dependents do not rebuild needlessly.
if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" old)
  if(old STREQUAL content)
    return()
  endif()
endif()
file(WRITE "${OUTPUT}" "${content}")
