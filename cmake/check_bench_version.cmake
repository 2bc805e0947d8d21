# Test step: q14bench --version must name the build's version and the commit checked out now.
#   cmake -DBENCH=<q14bench> -DSOURCE_DIR=<dir> -DVERSION=<x.y.z> -P check_bench_version.cmake
execute_process(COMMAND git -C ${SOURCE_DIR} rev-parse --short=12 HEAD
                OUTPUT_VARIABLE commit OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
execute_process(COMMAND ${BENCH} --version OUTPUT_VARIABLE out ERROR_VARIABLE out
                OUTPUT_STRIP_TRAILING_WHITESPACE)
set(expected "q14bench ${VERSION} (commit ${commit}")
string(FIND "${out}" "${expected}" at)
if(VERSION STREQUAL "" OR NOT at EQUAL 0)
  message(FATAL_ERROR "q14bench --version printed '${out}', not '${expected}...'")
endif()
