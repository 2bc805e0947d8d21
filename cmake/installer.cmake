# The installers (NSIS): one per edition, q14-<version>-setup.exe and, for the Russian edition,
# q14-<version>-ru-setup.exe, carrying the files of the edition's zip (cmake/package.cmake),
# and their tests (label package): the texts they carry have Windows line ends, the guide
# fits a phone's screen (also label browser), two builds give the same bytes, and under Wine
# an update over a 1.0 installation keeps the pilot's files, the units load from there, and
# the uninstaller removes exactly what was installed.
enable_testing()
find_program(Q14_MAKENSIS makensis)
find_program(Q14_NODE node)
if(NOT Q14_MAKENSIS)
  message(FATAL_ERROR "makensis not found: the installers need Debian's nsis (scripts/install-deps.sh installs it)")
endif()

# The commit's time, which the installers' files carry: a new commit builds them again.
set(Q14_EPOCH_STAMP ${CMAKE_BINARY_DIR}/package_epoch.txt)
add_custom_target(q14_package_epoch
  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR} -DOUT=${Q14_EPOCH_STAMP}
          -P ${CMAKE_SOURCE_DIR}/cmake/package_epoch.cmake
  BYPRODUCTS ${Q14_EPOCH_STAMP})

# q14_installer(<edition> <title> <language> <package listing> <SHA256SUMS> <target making them>)
function(q14_installer edition title language listing sums sums_target)
  if(language STREQUAL en)
    set(name q14-${PROJECT_VERSION}-setup.exe)
  else()
    set(name q14-${PROJECT_VERSION}-${language}-setup.exe)
  endif()
  set(setup ${CMAKE_BINARY_DIR}/${name})
  set(build_args -DLIST=${listing} -DSUMS=${sums} -DLANGUAGE=${language} -DVERSION=${PROJECT_VERSION}
                 -DROUTE_FILE=${Q14_ROUTE_FILE} -DMAKENSIS=${Q14_MAKENSIS} -DSOURCE_DIR=${CMAKE_SOURCE_DIR}
                 "-DCOMPANY=${Q14_COMPANY}" "-DCOPYRIGHT=${Q14_COPYRIGHT}" -DEPOCH_FILE=${Q14_EPOCH_STAMP})
  file(GLOB nsis_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/installer/*)
  add_custom_command(
    OUTPUT ${setup}
    COMMAND ${CMAKE_COMMAND} ${build_args} -DSTAGE=${CMAKE_BINARY_DIR}/installer_stage/${edition} -DOUT=${setup}
            -P ${CMAKE_SOURCE_DIR}/cmake/installer_build.cmake
    DEPENDS ${sums} ${nsis_sources} ${CMAKE_SOURCE_DIR}/cmake/installer_build.cmake ${Q14_EPOCH_STAMP}
    COMMENT "Installer ${name}" VERBATIM)
  add_custom_target(q14_installer_${edition} ALL DEPENDS ${setup})
  add_dependencies(q14_installer_${edition} ${sums_target} q14_package_epoch)

  # A second build from fresh copies of every file, elsewhere and later: the same bytes.
  q14_add_test(installer_reproducible_${edition} LABELS package TIMEOUT 300
               COMMAND ${CMAKE_SOURCE_DIR}/scripts/installer-again.sh ${setup} ${listing} ${sums}
                       ${CMAKE_SOURCE_DIR}/cmake/installer_build.cmake ${CMAKE_COMMAND} ${build_args})

  # The staged files are the zip's: licence, README and Windows line ends.
  q14_add_test(package_texts_${edition} LABELS package TIMEOUT 60
               COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-package-texts.sh ${CMAKE_BINARY_DIR}/installer_stage/${edition})

  # Its HTML guide on a phone's screen in headless Chromium (web/node_modules: install-deps).
  if(Q14_NODE)
    q14_add_test(guide_width_${edition} LABELS package browser LOCK browser TIMEOUT 120
                 COMMAND ${Q14_NODE} ${CMAKE_SOURCE_DIR}/web/tests/guide_width_test.js
                         ${CMAKE_BINARY_DIR}/installer_stage/${edition}/q14_docs/USER_GUIDE.html)
  endif()

  # Under Wine: update over the zip's layout, the installed units loaded, uninstall, fresh install.
  # The staged files are the zip's; the edition's title is the one its modules carry.
  q14_add_test(installer_wine_${edition} LABELS package wine NEEDS wine_prefix LOCK wine TIMEOUT 1200
               COMMAND ${CMAKE_SOURCE_DIR}/scripts/installer-test.sh ${CMAKE_BINARY_DIR} ${setup}
                       ${CMAKE_BINARY_DIR}/installer_stage/${edition} "${title}" ${PROJECT_VERSION})
endfunction()
