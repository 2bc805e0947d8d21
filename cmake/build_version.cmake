# Build step of q14bench: writes the header with the project's version and the commit the
# sources were built from ("-modified" when tracked files differ from it, "unknown" outside a
# git checkout). The file is rewritten only when its text changes.
#   cmake -DSOURCE_DIR=<dir> -DVERSION=<x.y.z> -DOUT=<header> -P build_version.cmake
execute_process(COMMAND git -C ${SOURCE_DIR} rev-parse --short=12 HEAD
                OUTPUT_VARIABLE commit OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE rc ERROR_QUIET)
if(NOT rc EQUAL 0 OR commit STREQUAL "")
  set(commit unknown)
else()
  execute_process(COMMAND git -C ${SOURCE_DIR} diff --quiet HEAD -- RESULT_VARIABLE modified ERROR_QUIET)
  if(NOT modified EQUAL 0)
    string(APPEND commit -modified)
  endif()
endif()
set(text "// Written by cmake/build_version.cmake at build time.\n#pragma once\n#define Q14_VERSION \"${VERSION}\"\n#define Q14_COMMIT \"${commit}\"\n")
set(old "")
if(EXISTS ${OUT})
  file(READ ${OUT} old)
endif()
if(NOT old STREQUAL text)
  file(WRITE ${OUT} "${text}")
endif()
