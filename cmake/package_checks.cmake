# Checks of the release build that need neither Wine nor a package (label package): the
# third-party notices name exactly the runtime parts the modules' link maps show linked.
q14_add_test(notices_link_map LABELS package TIMEOUT 60
             COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-notices.sh ${CMAKE_SOURCE_DIR}/docs/THIRD_PARTY_NOTICES.txt
                     ${CMAKE_BINARY_DIR}/maps)
