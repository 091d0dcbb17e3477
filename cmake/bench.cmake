# Benchmarks (Google Benchmark or plain timing programs), one program per
# bench/*_bench.cpp. They are built with optimisation and run by the
# scripts in bench/, never by ctest. The camera simulator's library is
# linked in for the benchmarks that run transfers against it.
find_package(benchmark REQUIRED)
file(GLOB FQ_BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*_bench.cpp)
foreach(src ${FQ_BENCH_SOURCES})
  get_filename_component(n ${src} NAME_WE)
  add_executable(${n} ${src})
  target_compile_options(${n} PRIVATE ${FQ_WARNINGS} -O2)
  target_link_libraries(${n} PRIVATE fq_core benchmark::benchmark)
  if(TARGET fq_camsim)
    target_link_libraries(${n} PRIVATE fq_camsim)
  endif()
endforeach()
