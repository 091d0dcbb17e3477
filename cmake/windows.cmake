# The native Windows program, cross-compiled with MinGW-w64 (toolchain file
# cmake/mingw-w64.cmake, driven by tools/build-windows.sh): the same source
# lists as the Wine build — the portable core and every win/ folder — and the
# same resource script, compiled by windres. Both programs are linked
# statically, so each .exe stands alone on a Windows machine.
enable_language(RC)

set(FQ_WINDOWS_DEFINES NOMINMAX)
set(FQ_WINDOWS_SYSTEM_LIBS comctl32 comdlg32 gdi32 user32 shell32 version avifil32 msvfw32 winspool)

add_library(fq_core STATIC ${FQ_CORE_SOURCES})
target_include_directories(fq_core PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_compile_options(fq_core PRIVATE ${FQ_WARNINGS})
target_compile_definitions(fq_core PUBLIC ${FQ_WINDOWS_DEFINES})
target_link_libraries(fq_core PUBLIC JPEG::JPEG)

# The Win32 layer but the program's entry, as a library: the program takes
# all of it, fqtool only what it calls (the serial port).
set(FQ_WIN_LAYER_SOURCES ${FQ_WIN_SOURCES})
list(FILTER FQ_WIN_LAYER_SOURCES EXCLUDE REGEX "/shell/win/main\\.cpp$")
set(FQ_WIN_MAIN ${FQ_WIN_SOURCES})
list(FILTER FQ_WIN_MAIN INCLUDE REGEX "/shell/win/main\\.cpp$")
add_library(fq_win OBJECT ${FQ_WIN_LAYER_SOURCES})
target_include_directories(fq_win PUBLIC ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/res)
target_compile_options(fq_win PRIVATE ${FQ_WARNINGS})
target_link_libraries(fq_win PUBLIC fq_core)
add_library(fq_win_lib STATIC $<TARGET_OBJECTS:fq_win>)

add_executable(fotaquill WIN32 ${FQ_WIN_MAIN} $<TARGET_OBJECTS:fq_win> ${CMAKE_SOURCE_DIR}/res/fotaquill.rc)
target_include_directories(fotaquill PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/res)
target_compile_options(fotaquill PRIVATE ${FQ_WARNINGS})
target_link_libraries(fotaquill PRIVATE fq_core ${FQ_WINDOWS_SYSTEM_LIBS})
target_link_options(fotaquill PRIVATE -static -s)
# The resource script names its icons and bitmaps relative to res/.
file(GLOB_RECURSE FQ_RES_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/res/*)
set_source_files_properties(${CMAKE_SOURCE_DIR}/res/fotaquill.rc PROPERTIES OBJECT_DEPENDS "${FQ_RES_FILES}")

file(GLOB FQTOOL_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/fqtool/*.cpp)
# No FreeType here: calendar pages are drawn by the Linux build only.
list(FILTER FQTOOL_SOURCES EXCLUDE REGEX "/calendar_render\\.cpp$")
list(APPEND FQTOOL_SOURCES ${CMAKE_SOURCE_DIR}/tools/fqtool/windows/calendar_render_none.cpp)
add_executable(fqtool ${FQTOOL_SOURCES})
target_compile_options(fqtool PRIVATE ${FQ_WARNINGS})
target_link_libraries(fqtool PRIVATE fq_win_lib fq_core ${FQ_WINDOWS_SYSTEM_LIBS})
target_link_options(fqtool PRIVATE -static -s)

# The floors are checked here too, so a cross build alone still catches an
# include that looks up.
add_custom_target(layers ALL
  COMMAND ${CMAKE_COMMAND} -DROOT=${CMAKE_SOURCE_DIR} -P ${CMAKE_SOURCE_DIR}/cmake/check_layers.cmake
  COMMENT "Checking the floors of src/"
  VERBATIM)
