# Every check is a CTest test with labels and a time limit, in the build tree of the preset that
# builds what it checks: q14_add_test for one command, q14_add_gtest for a GoogleTest program.
include(GoogleTest)
enable_testing()

# Tests that keep a JUnit report of their own cases (a whole suite in one process, as under Wine
# or in the browser) write it as ${Q14_REPORTS}/<test name>.xml; run-tests counts its cases.
set(Q14_REPORTS ${CMAKE_BINARY_DIR}/reports)
file(MAKE_DIRECTORY ${Q14_REPORTS})

# In the sanitize tree every test also carries the label sanitize (a label of the top
# directory goes to every test below it, the discovered GoogleTest cases too).
if(Q14_SANITIZE)
  set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY LABELS sanitize)
endif()

# q14_add_test(<name> LABELS <label>... [TIMEOUT <seconds, default 120>] [SETUP <fixture>]
#              [NEEDS <fixture>...] [LOCK <resource>...] [ENVIRONMENT <VAR=value>...]
#              COMMAND <program> <arguments>...)
# SETUP makes the test the one that sets up a fixture; NEEDS runs a test only after the fixtures'
# setups (ctest adds them when it runs a subset); LOCK keeps tests that use one resource apart.
function(q14_add_test name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "TIMEOUT;SETUP" "LABELS;NEEDS;LOCK;ENVIRONMENT;COMMAND")
  if(NOT arg_LABELS OR NOT arg_COMMAND)
    message(FATAL_ERROR "q14_add_test(${name}): LABELS and COMMAND are required")
  endif()
  if(NOT arg_TIMEOUT)
    set(arg_TIMEOUT 120)
  endif()
  add_test(NAME ${name} COMMAND ${arg_COMMAND})
  set_tests_properties(${name} PROPERTIES LABELS "${arg_LABELS}" TIMEOUT ${arg_TIMEOUT})
  if(arg_SETUP)
    set_tests_properties(${name} PROPERTIES FIXTURES_SETUP ${arg_SETUP})
  endif()
  if(arg_NEEDS)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED "${arg_NEEDS}")
  endif()
  if(arg_LOCK)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK "${arg_LOCK}")
  endif()
  if(arg_ENVIRONMENT)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${arg_ENVIRONMENT}")
  endif()
endfunction()

# q14_add_gtest(<target> <prefix> LABELS <label> [TIMEOUT <seconds per case, default 120>])
# Each GoogleTest case of the program is a test of its own, named <prefix>.<Suite>.<Case>. Under
# the sanitizers, whose start-up costs every process much longer, the program runs whole as the
# test <prefix> and keeps its cases' report.
function(q14_add_gtest target prefix)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "TIMEOUT;LABELS" "")
  if(NOT arg_LABELS)
    message(FATAL_ERROR "q14_add_gtest(${target}): LABELS is required")
  endif()
  if(NOT arg_TIMEOUT)
    set(arg_TIMEOUT 120)
  endif()
  if(Q14_SANITIZE)
    q14_add_test(${prefix} LABELS ${arg_LABELS} TIMEOUT 900
                 COMMAND ${target} --gtest_output=xml:${Q14_REPORTS}/${prefix}.xml)
    return()
  endif()
  gtest_discover_tests(${target} TEST_PREFIX ${prefix}. DISCOVERY_TIMEOUT 120
                       PROPERTIES LABELS ${arg_LABELS} TIMEOUT ${arg_TIMEOUT})
endfunction()
