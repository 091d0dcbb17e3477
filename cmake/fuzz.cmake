# libFuzzer targets (clang only): one per tests/fuzz/*_fuzz.cpp, each linked
# with the core compiled once with fuzzer coverage and the sanitizers. ctest runs each for a
# bounded time from its seed corpus tests/fuzz/corpus/<name>/.
set(FQ_FUZZ_SECONDS 30 CACHE STRING "Seconds each fuzz target runs under ctest")
file(GLOB FQ_FUZZ_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/*_fuzz.cpp)
set(san -fsanitize=address,undefined -fno-sanitize-recover=undefined -g -O1)
add_library(fq_core_fuzz STATIC ${FQ_CORE_SOURCES})
target_include_directories(fq_core_fuzz PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_compile_options(fq_core_fuzz PRIVATE -fsanitize=fuzzer-no-link ${san})
target_link_libraries(fq_core_fuzz PUBLIC JPEG::JPEG)
foreach(src ${FQ_FUZZ_SOURCES})
  get_filename_component(n ${src} NAME_WE)
  add_executable(${n} ${src})
  target_include_directories(${n} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_compile_options(${n} PRIVATE -fsanitize=fuzzer ${san})
  target_link_options(${n} PRIVATE -fsanitize=fuzzer ${san})
  target_link_libraries(${n} PRIVATE fq_core_fuzz)
  set(corpus ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/${n})
  set(work ${CMAKE_BINARY_DIR}/fuzz_work/${n})
  add_test(NAME fuzz.${n}
    COMMAND ${CMAKE_COMMAND} -E env bash -c
      "mkdir -p '${work}' && exec $<TARGET_FILE:${n}> -max_total_time=${FQ_FUZZ_SECONDS} -rss_limit_mb=2048 -timeout=20 -print_final_stats=1 '${work}' '${corpus}'")
  set_tests_properties(fuzz.${n} PROPERTIES LABELS fuzz TIMEOUT 900)
endforeach()
