# CPack step after zipping: every entry of each archive gets the time of the commit it was
# built from (cmake/package_epoch.cmake) and no owner or other times of the build machine
# (strip-nondeterminism), so that an archive depends on nothing but the commit.
include(${CPACK_Q14_SOURCE_DIR}/cmake/package_epoch.cmake)
q14_package_epoch(${CPACK_Q14_SOURCE_DIR} epoch)
execute_process(COMMAND ${CPACK_Q14_STRIP_NONDETERMINISM} --type zip --timestamp ${epoch} ${CPACK_PACKAGE_FILES}
                RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "strip-nondeterminism failed on ${CPACK_PACKAGE_FILES}")
endif()
