# The floors of the sources, one way down, checked on every include:
#   src/base                                   floor 0
#   src/image, edit, camera, album, calendar,  floor 1 (may include each other)
#   src/show, output
#   src/shell                                  floor 2
# A file may include headers of its own floor or lower ones, never higher.
# Resource headers belong to the floor of their subsystem (base_res.h to
# base, shell_res.h to shell, image_res.h to image ...). Portable code (not in
# a win/ folder) never includes <windows.h> or a header from a win/ folder.
#
#   cmake -DROOT=<tree> -P cmake/check_layers.cmake
# prints every violation and fails when there is one.
cmake_minimum_required(VERSION 3.20)
if(NOT ROOT)
  message(FATAL_ERROR "check_layers: ROOT not set")
endif()

set(FQ_MIDDLE image edit camera album calendar show output)

# The floor of a subsystem folder name, or -1 for anything else.
function(fq_floor_of name out)
  if(name STREQUAL "base")
    set(${out} 0 PARENT_SCOPE)
  elseif(name STREQUAL "shell")
    set(${out} 2 PARENT_SCOPE)
  elseif(name IN_LIST FQ_MIDDLE)
    set(${out} 1 PARENT_SCOPE)
  else()
    set(${out} -1 PARENT_SCOPE)
  endif()
endfunction()

file(GLOB_RECURSE sources RELATIVE ${ROOT}/src ${ROOT}/src/*.h ${ROOT}/src/*.cpp)
set(violations 0)
foreach(rel ${sources})
  string(REGEX MATCH "^[^/]+" subsystem "${rel}")
  fq_floor_of("${subsystem}" floor)
  if(floor EQUAL -1)
    continue()
  endif()
  set(portable TRUE)
  if(rel MATCHES "/win/")
    set(portable FALSE)
  endif()
  file(STRINGS ${ROOT}/src/${rel} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
  foreach(line ${includes})
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]+)[>\"].*$" "\\1" header "${line}")
    set(target_floor -1)
    if(header MATCHES "^([a-z]+)/")
      fq_floor_of("${CMAKE_MATCH_1}" target_floor)
    elseif(header MATCHES "^([a-z]+)_res\\.h$")
      fq_floor_of("${CMAKE_MATCH_1}" target_floor)
    endif()
    if(target_floor GREATER floor)
      message(NOTICE "src/${rel}: includes ${header} from a higher floor")
      math(EXPR violations "${violations} + 1")
    endif()
    if(portable AND (header MATCHES "^[Ww]indows\\.h$" OR header MATCHES "/win/" OR header MATCHES "_res\\.h$"))
      message(NOTICE "src/${rel}: portable code includes ${header}")
      math(EXPR violations "${violations} + 1")
    endif()
  endforeach()
endforeach()

if(violations GREATER 0)
  message(FATAL_ERROR "check_layers: ${violations} include(s) against the floors")
endif()
message(STATUS "check_layers: every include of src/ looks down")
