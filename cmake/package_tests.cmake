# The tests of the shipped modules and the release packages, in the win32 build tree (labels
# package and editions; the installed package's test host also wine). Only the Latin tree, the
# default build, runs them: it builds the package a second time and the Cyrillic preset itself.
set(Q14_PACKAGE_CHECKS ${CMAKE_SOURCE_DIR}/scripts/package-checks.sh)
set(Q14_TESTS_PACKAGE OFF)
if(Q14_CAN_PACKAGE AND Q14_CAPTIONS STREQUAL latin)
  set(Q14_TESTS_PACKAGE ON)
endif()
# The second package build and the win32-cyrillic build, beside this tree.
set(Q14_AGAIN_DIR ${CMAKE_BINARY_DIR}-again)
set(Q14_CYRILLIC_DIR ${CMAKE_BINARY_DIR}-cyrillic)

# What every build's modules must show, and the builds the other checks compare.
if(Q14_TESTS_PACKAGE)
  foreach(unit 1 2)
    q14_add_test(exports_q14_n${unit} LABELS package COMMAND ${Q14_PACKAGE_CHECKS} exports ${CMAKE_BINARY_DIR} ${unit})
  endforeach()
  q14_add_test(package_build LABELS package SETUP package TIMEOUT 900
               COMMAND ${CMAKE_COMMAND} --build ${CMAKE_BINARY_DIR} --target package)
  q14_add_test(package_again LABELS package SETUP package_again TIMEOUT 1800
               COMMAND ${Q14_PACKAGE_CHECKS} again ${CMAKE_BINARY_DIR} ${Q14_AGAIN_DIR})
  q14_add_test(editions_build LABELS editions SETUP editions TIMEOUT 1800
               COMMAND ${Q14_PACKAGE_CHECKS} editions-build ${Q14_CYRILLIC_DIR})
  foreach(unit 1 2)
    q14_add_test(editions_q14_n${unit} LABELS editions NEEDS editions
                 COMMAND ${Q14_PACKAGE_CHECKS} editions ${CMAKE_BINARY_DIR} ${Q14_CYRILLIC_DIR} ${unit})
  endforeach()
endif()

# q14_add_package_tests(<edition> <archive name> <guide language> <edition title> <module targets...>)
# One edition's package: modules and archive identical in the second build, the runtime archives
# its link maps name in the notices, its contents, and the package installed and run under Wine.
function(q14_add_package_tests edition package language title)
  if(NOT Q14_TESTS_PACKAGE)
    return()
  endif()
  set(modules ${ARGN})
  foreach(m ${modules})
    get_target_property(out_dir ${m} RUNTIME_OUTPUT_DIRECTORY)
    get_target_property(out_name ${m} OUTPUT_NAME)
    file(RELATIVE_PATH gau ${CMAKE_BINARY_DIR} ${out_dir}/${out_name}.gau)
    q14_add_test(package_identical_${m} LABELS package NEEDS package_again
                 COMMAND ${CMAKE_COMMAND} -E compare_files ${CMAKE_BINARY_DIR}/${gau} ${Q14_AGAIN_DIR}/${gau})
    q14_add_test(notices_${m} LABELS package COMMAND ${Q14_PACKAGE_CHECKS} notices ${CMAKE_BINARY_DIR}/maps/${m}.map)
  endforeach()
  q14_add_test(package_identical_${package}.zip LABELS package NEEDS package package_again
               COMMAND ${CMAKE_COMMAND} -E compare_files ${CMAKE_BINARY_DIR}/${package}.zip ${Q14_AGAIN_DIR}/${package}.zip)
  q14_add_test(package_contents_${language} LABELS package NEEDS package
               COMMAND ${Q14_PACKAGE_CHECKS} contents ${CMAKE_BINARY_DIR} ${package}.zip ${language})
  q14_add_test(installed_${language} LABELS package wine NEEDS package wine_prefix LOCK wine TIMEOUT 960
               COMMAND ${Q14_PACKAGE_CHECKS} installed ${CMAKE_BINARY_DIR} ${package}.zip "${title}"
                       ${Q14_REPORTS}/installed_${language})
endfunction()
