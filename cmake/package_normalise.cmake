# CPack step after zipping: every entry of each archive gets the time of the commit it was
# built from and no owner or other times of the build machine (strip-nondeterminism), so that
# an archive depends on nothing but the commit. SOURCE_DATE_EPOCH, when set, takes precedence;
# outside a git checkout the time is fixed.
set(epoch "$ENV{SOURCE_DATE_EPOCH}")
if(epoch STREQUAL "")
  execute_process(COMMAND git -C ${CPACK_Q14_SOURCE_DIR} log -1 --format=%ct
                  OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE rc ERROR_QUIET)
  if(NOT rc EQUAL 0 OR NOT epoch MATCHES "^[0-9]+$")
    set(epoch 1767225600)  # 2026-01-01 00:00 UTC
  endif()
endif()
execute_process(COMMAND ${CPACK_Q14_STRIP_NONDETERMINISM} --type zip --timestamp ${epoch} ${CPACK_PACKAGE_FILES}
                RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "strip-nondeterminism failed on ${CPACK_PACKAGE_FILES}")
endif()
