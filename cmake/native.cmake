# Native build: the platform layer as one shared library, both modules as loadable shared
# objects (and static cores for white-box tests), the host stand-in, tests and tools.
find_package(GTest REQUIRED)

add_subdirectory(${CMAKE_SOURCE_DIR}/platform)

foreach(unit 1 2)
  add_library(q14_n${unit}_obj OBJECT ${Q14_MODULE_SOURCES})
  target_include_directories(q14_n${unit}_obj PUBLIC ${CMAKE_SOURCE_DIR})
  target_compile_definitions(q14_n${unit}_obj PUBLIC Q14_UNIT=${unit})
  set_target_properties(q14_n${unit}_obj PROPERTIES CXX_VISIBILITY_PRESET hidden)

  # Loadable module, as the host stand-in opens it (dlopen, RTLD_LOCAL).
  add_library(q14_n${unit} MODULE $<TARGET_OBJECTS:q14_n${unit}_obj>)
  target_link_libraries(q14_n${unit} PRIVATE q14plat)
  set_target_properties(q14_n${unit} PROPERTIES PREFIX "" OUTPUT_NAME q14_n${unit})

  # The same objects as a static library for tests that look inside.
  add_library(q14_n${unit}_core STATIC $<TARGET_OBJECTS:q14_n${unit}_obj>)
  target_include_directories(q14_n${unit}_core PUBLIC ${CMAKE_SOURCE_DIR})
  target_compile_definitions(q14_n${unit}_core PUBLIC Q14_UNIT=${unit})
  target_link_libraries(q14_n${unit}_core PUBLIC q14plat)
endforeach()

# White-box tests beside each layer: name_test.cpp runs against unit 2, name_n1_test.cpp
# against unit 1, name_both_test.cpp against both.
set(Q14_TESTS_N1 "")
set(Q14_TESTS_N2 "")
foreach(room ${Q14_ROOMS})
  file(GLOB t_all CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${room}/*_test.cpp)
  foreach(t ${t_all})
    if(t MATCHES "_n1_test\\.cpp$")
      list(APPEND Q14_TESTS_N1 ${t})
    elseif(t MATCHES "_both_test\\.cpp$")
      list(APPEND Q14_TESTS_N1 ${t})
      list(APPEND Q14_TESTS_N2 ${t})
    else()
      list(APPEND Q14_TESTS_N2 ${t})
    endif()
  endforeach()
endforeach()
foreach(unit 1 2)
  if(Q14_TESTS_N${unit})
    add_executable(q14_tests_n${unit} ${Q14_TESTS_N${unit}})
    target_link_libraries(q14_tests_n${unit} PRIVATE q14_n${unit}_core GTest::gtest GTest::gtest_main)
    # Tests that read checked-in files (the panel bitmaps) find them below the source root.
    target_compile_definitions(q14_tests_n${unit} PRIVATE Q14_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
    q14_add_gtest(q14_tests_n${unit} n${unit} LABELS unit)
  endif()
endforeach()
# The route file reader against the corpus of file forms (the comparison with the real call is
# the win32 build's profile_diff test).
add_executable(q14_platform_tests ${CMAKE_SOURCE_DIR}/platform/profile_reader_test.cpp
               ${CMAKE_SOURCE_DIR}/platform/profile_corpus.cpp)
target_link_libraries(q14_platform_tests PRIVATE q14profile GTest::gtest GTest::gtest_main)
q14_add_gtest(q14_platform_tests platform LABELS unit)

# The geometry tests check the great-circle layer against GeographicLib; the modules never use it.
find_library(Q14_GEOGRAPHICLIB NAMES GeographicLib Geographic REQUIRED)
if(TARGET q14_tests_n2)
  target_link_libraries(q14_tests_n2 PRIVATE ${Q14_GEOGRAPHICLIB})
endif()

# Timing of the per-frame navigation work.
find_package(benchmark QUIET)
if(benchmark_FOUND)
  add_executable(q14_bench_nav ${CMAKE_SOURCE_DIR}/nav/navigation_bench.cpp)
  target_link_libraries(q14_bench_nav PRIVATE q14_n2_core benchmark::benchmark_main)
endif()

if(Q14_FUZZ)
  include(${CMAKE_SOURCE_DIR}/cmake/fuzz.cmake)
endif()

# The package installs' retries (scripts/apt.sh) against a stand-in apt-get.
q14_add_test(apt_retry LABELS tools COMMAND ${CMAKE_SOURCE_DIR}/scripts/apt_test.sh)

# Host stand-in, scenario tests and tools.
foreach(dir host scenarios tools)
  if(EXISTS ${CMAKE_SOURCE_DIR}/${dir}/CMakeLists.txt)
    add_subdirectory(${dir})
  endif()
endforeach()
