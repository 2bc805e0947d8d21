# Checks of the release build that need neither Wine nor a package (label package): the
# third-party notices name exactly the runtime parts the modules' link maps show linked.
enable_testing()
add_test(NAME notices_link_map
         COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-notices.sh ${CMAKE_SOURCE_DIR}/docs/THIRD_PARTY_NOTICES.txt
                 ${CMAKE_BINARY_DIR}/maps)
set_tests_properties(notices_link_map PROPERTIES LABELS package TIMEOUT 60)
