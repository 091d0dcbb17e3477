# Native unit tests: the core sources compiled once more, with the sanitizers,
# into one GoogleTest program.
find_package(GTest REQUIRED)
file(GLOB_RECURSE FQ_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/*_test.cpp)
list(FILTER FQ_TEST_SOURCES EXCLUDE REGEX "/tests/app/")

add_executable(fq_tests ${FQ_TEST_SOURCES} ${FQ_CORE_SOURCES})
target_include_directories(fq_tests PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
target_compile_options(fq_tests PRIVATE ${FQ_WARNINGS})
target_compile_definitions(fq_tests PRIVATE FQ_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
                                            FQ_BINARY_DIR="${CMAKE_BINARY_DIR}")
target_link_libraries(fq_tests PRIVATE GTest::gtest GTest::gtest_main GTest::gmock JPEG::JPEG)
if(FQ_SANITIZE)
  set(FQ_SAN_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_compile_options(fq_tests PRIVATE ${FQ_SAN_FLAGS})
  target_link_options(fq_tests PRIVATE ${FQ_SAN_FLAGS})
endif()
include(GoogleTest)
gtest_discover_tests(fq_tests DISCOVERY_MODE PRE_TEST NO_PRETTY_VALUES NO_PRETTY_TYPES
                     PROPERTIES LABELS native
                     ENVIRONMENT "ASAN_OPTIONS=detect_leaks=1;UBSAN_OPTIONS=print_stacktrace=1")

# Peer and tool tests: shell scripts under tests/ named *_peer.sh, run with the
# build folder as their argument. They compare our output with tools nobody
# here wrote (ImageMagick, djpeg, exiftool).
file(GLOB_RECURSE FQ_PEER_SCRIPTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/*_peer.sh)
foreach(s ${FQ_PEER_SCRIPTS})
  get_filename_component(n ${s} NAME_WE)
  add_test(NAME peer.${n} COMMAND bash ${s} ${CMAKE_BINARY_DIR})
  set_tests_properties(peer.${n} PROPERTIES LABELS peer)
endforeach()

# The camera simulator (tools/camsim) is compiled into the tests as well, so
# that the tests drive it in memory with the sanitizers on.
if(TARGET fq_camsim)
  target_sources(fq_tests PRIVATE ${FQ_CAMSIM_SOURCES})
  target_include_directories(fq_tests PRIVATE ${CMAKE_SOURCE_DIR}/tools)
endif()
