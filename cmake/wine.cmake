# The Win32 program and the Win32 test driver, built with the Wine toolchain.
# The portable core is compiled by the host compiler (fq_core, position
# independent) and linked into the winelib program; only the win/ sources and
# the resources go through wineg++ and wrc.
find_program(WINEGXX NAMES wineg++-stable wineg++ PATHS /usr/lib/wine REQUIRED)
find_program(WRC NAMES wrc-stable wrc PATHS /usr/lib/wine REQUIRED)
find_path(WINE_WINDOWS_INCLUDE windows.h PATHS /usr/include/wine/wine/windows /usr/include/wine/windows REQUIRED)

set(FQ_WINE_CXXFLAGS -std=c++20 -O2 -g -Wall -Wextra -DNOMINMAX -I${CMAKE_SOURCE_DIR}/src -I${CMAKE_SOURCE_DIR}/res)

# add_wine_program(NAME <name> SOURCES <cpp...> [RC <file.rc>] [LIBS <libs...>] [MODE -mwindows|-mconsole])
function(add_wine_program)
  cmake_parse_arguments(W "" "NAME;RC;MODE" "SOURCES;LIBS;DEPENDS" ${ARGN})
  if(NOT W_MODE)
    set(W_MODE -mwindows)
  endif()
  set(objs)
  foreach(src ${W_SOURCES})
    file(RELATIVE_PATH rel ${CMAKE_SOURCE_DIR} ${src})
    string(REGEX REPLACE "[/.]" "_" stem ${rel})
    set(obj ${CMAKE_BINARY_DIR}/wine_obj/${W_NAME}/${stem}.o)
    add_custom_command(OUTPUT ${obj}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/wine_obj/${W_NAME}
      COMMAND ${CMAKE_CXX_COMPILER_LAUNCHER} ${WINEGXX} ${FQ_WINE_CXXFLAGS} -MD -MF ${obj}.d -c ${src} -o ${obj}
      DEPENDS ${src}
      DEPFILE ${obj}.d
      COMMENT "wineg++ ${rel}"
      VERBATIM)
    list(APPEND objs ${obj})
  endforeach()
  if(W_RC)
    set(res ${CMAKE_BINARY_DIR}/wine_obj/${W_NAME}/resources.res)
    file(GLOB_RECURSE res_deps CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/res/*)
    add_custom_command(OUTPUT ${res}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/wine_obj/${W_NAME}
      COMMAND ${WRC} --nostdinc -I${CMAKE_SOURCE_DIR}/res -I${CMAKE_SOURCE_DIR}/src -I${WINE_WINDOWS_INCLUDE}
              -o ${res} ${W_RC}
      WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/res
      DEPENDS ${W_RC} ${res_deps}
      COMMENT "wrc ${W_RC}"
      VERBATIM)
    list(APPEND objs ${res})
  endif()
  set(lib_files)
  set(lib_targets)
  foreach(l ${W_LIBS})
    if(TARGET ${l})
      list(APPEND lib_files $<TARGET_FILE:${l}>)
      list(APPEND lib_targets ${l})
    else()
      list(APPEND lib_files ${l})
    endif()
  endforeach()
  set(out ${CMAKE_BINARY_DIR}/${W_NAME}.exe)
  add_custom_command(OUTPUT ${out} ${out}.so
    COMMAND ${WINEGXX} ${W_MODE} -o ${out} ${objs} ${lib_files}
    DEPENDS ${objs} ${lib_targets} ${W_DEPENDS}
    COMMENT "link ${W_NAME}.exe"
    VERBATIM)
  add_custom_target(${W_NAME} ALL DEPENDS ${out})
endfunction()

set(FQ_WIN_LIBS fq_core ${JPEG_LIBRARIES} -lcomctl32 -lcomdlg32 -lgdi32 -luser32 -lshell32 -lversion -lavifil32 -lmsvfw32 -lwinspool)

if(FQ_WIN_SOURCES)
add_wine_program(NAME fotaquill
  SOURCES ${FQ_WIN_SOURCES}
  RC ${CMAKE_SOURCE_DIR}/res/fotaquill.rc
  LIBS ${FQ_WIN_LIBS})
endif()

# The end-to-end test driver: a console Win32 program that finds the program's
# windows and talks to them the way a user's actions would.
file(GLOB FQ_DRIVER_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/app/driver/*.cpp)
if(FQ_DRIVER_SOURCES)
add_wine_program(NAME fqdriver SOURCES ${FQ_DRIVER_SOURCES} MODE -mconsole
  LIBS -lcomctl32 -lgdi32 -luser32 -lwinspool)
endif()

# Unit tests of the Win32 layer: a console program run under Wine that links
# the win/ sources (all but the program entry) with tests/app/units/*.cpp.
file(GLOB FQ_WIN_UNIT_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/app/units/*.cpp)
set(FQ_WIN_LAYER_SOURCES ${FQ_WIN_SOURCES})
list(FILTER FQ_WIN_LAYER_SOURCES EXCLUDE REGEX "/shell/win/main\\.cpp$")
if(FQ_WIN_UNIT_SOURCES)
add_wine_program(NAME fqwintest MODE -mconsole
  SOURCES ${FQ_WIN_UNIT_SOURCES} ${FQ_WIN_LAYER_SOURCES}
  RC ${CMAKE_SOURCE_DIR}/res/fotaquill.rc
  LIBS ${FQ_WIN_LIBS})
endif()

# The camera link over a real Win32 serial port: a console program built
# from the camera's Win32 sources, run against the simulator by
# tests/app/camera_app.sh.
set(FQ_CAMTEST_SOURCES
    ${CMAKE_SOURCE_DIR}/tests/app/camtest/camtest.cpp
    ${CMAKE_SOURCE_DIR}/src/camera/win/win32_port.cpp
    ${CMAKE_SOURCE_DIR}/src/camera/win/link_hooks.cpp
    ${CMAKE_SOURCE_DIR}/src/base/win/message_box.cpp
    ${CMAKE_SOURCE_DIR}/src/base/win/frame_link.cpp
    ${CMAKE_SOURCE_DIR}/src/base/win/pump.cpp)
add_wine_program(NAME camtest MODE -mconsole
  SOURCES ${FQ_CAMTEST_SOURCES}
  LIBS fq_core -luser32)

# Movies under Wine for the tests: frame 0 through the program's own road,
# and a bottom-up uncompressed movie written by the system's AVI library.
add_wine_program(NAME fqmovie MODE -mconsole
  SOURCES ${CMAKE_SOURCE_DIR}/tests/app/movie/fqmovie.cpp
          ${CMAKE_SOURCE_DIR}/src/show/win/movie_picture.cpp
          ${CMAKE_SOURCE_DIR}/src/base/win/win_file_system.cpp
  LIBS fq_core ${JPEG_LIBRARIES} -luser32 -lavifil32)

# Wine tests: each tests/app/*_app.sh script runs the program under Xvfb with
# a private prefix of the build. Labelled "wine" so they can be run apart.
#
# They run in two slots side by side (a test spends most of its time waiting
# for the program): the tests of a slot take turns with its prefix, its
# display and its program folder (where the settings file lies); see
# tests/app/lib.sh. Slot 2 holds the tests named here, chosen so that both
# slots take about as long; every other test is in slot 1. The two runs of
# the native Windows program share its folder, so they share a slot too.
set(FQ_WINE_SLOT2 album_app camera_app camera_out_app capture_app edit_app movie_app shell_app
    frame_app.pe image_app.pe fqtool.pe)
function(fq_wine_test name)
  set(slot 1)
  if(name IN_LIST FQ_WINE_SLOT2)
    set(slot 2)
  endif()
  set(env FQ_WINE_SLOT=${slot} ${ARGN})
  set_tests_properties(wine.${name} PROPERTIES LABELS wine RESOURCE_LOCK wine-slot${slot} TIMEOUT 600
    SKIP_RETURN_CODE 77 ENVIRONMENT "${env}")
endfunction()

file(GLOB FQ_APP_SCRIPTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/app/*_app.sh)
foreach(s ${FQ_APP_SCRIPTS})
  get_filename_component(n ${s} NAME_WE)
  add_test(NAME wine.${n} COMMAND bash ${s} ${CMAKE_BINARY_DIR})
  fq_wine_test(${n})
endforeach()

# The frame and image-window tests once more against the native Windows
# program (tools/build-windows.sh), run by the same Wine and the same driver.
# Skipped, and said so, while that program has not been built.
set(FQ_WINDOWS_BUILD ${CMAKE_SOURCE_DIR}/build-windows CACHE PATH "Build folder of the native Windows program")
foreach(n frame_app image_app)
  add_test(NAME wine.${n}.pe COMMAND bash ${CMAKE_SOURCE_DIR}/tests/app/${n}.sh ${CMAKE_BINARY_DIR})
  fq_wine_test(${n}.pe FQ_APP_EXE=${FQ_WINDOWS_BUILD}/fotaquill.exe)
endforeach()
# Its fqtool.exe beside the native fqtool: the camera over the Win32 serial
# port, and picture conversion through the Win32 file functions.
add_test(NAME wine.fqtool.pe COMMAND bash ${CMAKE_SOURCE_DIR}/tests/app/fqtool_pe.sh ${CMAKE_BINARY_DIR})
fq_wine_test(fqtool.pe FQ_TOOL_EXE=${FQ_WINDOWS_BUILD}/fqtool.exe)
