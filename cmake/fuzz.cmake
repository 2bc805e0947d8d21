# libFuzzer targets (Q14_FUZZ=ON, clang): every room's *_fuzz.cpp becomes one executable
# linked against the unit 2 core, e.g. display/route_value_fuzz.cpp -> q14_fuzz_route_value.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "Q14_FUZZ needs clang (libFuzzer); use the fuzz preset")
endif()
set(Q14_FUZZ_TARGETS "")
foreach(room ${Q14_ROOMS})
  file(GLOB fuzz_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${room}/*_fuzz.cpp)
  foreach(src ${fuzz_sources})
    get_filename_component(name ${src} NAME_WE)
    string(REGEX REPLACE "_fuzz$" "" name ${name})
    add_executable(q14_fuzz_${name} ${src})
    target_link_libraries(q14_fuzz_${name} PRIVATE q14_n2_core)
    target_link_options(q14_fuzz_${name} PRIVATE -fsanitize=fuzzer)
    list(APPEND Q14_FUZZ_TARGETS q14_fuzz_${name})
  endforeach()
endforeach()
# The platform layer's route file reader, compiled in (the platform library hides it).
add_executable(q14_fuzz_profile_reader ${CMAKE_SOURCE_DIR}/platform/profile_reader_fuzz.cpp
               ${CMAKE_SOURCE_DIR}/platform/profile_reader.cpp)
target_include_directories(q14_fuzz_profile_reader PRIVATE ${CMAKE_SOURCE_DIR})
target_link_options(q14_fuzz_profile_reader PRIVATE -fsanitize=fuzzer)
list(APPEND Q14_FUZZ_TARGETS q14_fuzz_profile_reader)
add_custom_target(q14_fuzzers DEPENDS ${Q14_FUZZ_TARGETS})
