# The release package (CPack, ZIP): one archive per edition, unzipped into the simulator's
# folder. Layout (the modules read gauges\q14_cfg\q14_ppm.cfg below the simulator's folder):
#   Gauges/q14_n1.gau, Gauges/q14_n2.gau
#   Gauges/q14_cfg/q14_ppm.cfg          route and settings file, the sample
#   Gauges/q14_cfg/q14_ppm_sample.cfg   the same sample, to restore the file from
#   q14_docs/                           user guide (HTML, pictures), panel.cfg fragment,
#                                       change log, third-party notices, SHA256SUMS
# The archive depends only on the commit (cmake/package_normalise.cmake).
find_program(Q14_CMARK_GFM cmark-gfm)
find_program(Q14_STRIP_NONDETERMINISM strip-nondeterminism)
set(Q14_CAN_PACKAGE ON)
if(NOT Q14_CMARK_GFM OR NOT Q14_STRIP_NONDETERMINISM)
  message(WARNING "cmark-gfm or strip-nondeterminism not found (scripts/install-deps.sh installs "
                  "them): no package target")
  set(Q14_CAN_PACKAGE OFF)
endif()

set(Q14_DOC_DIR q14_docs)
set(Q14_CFG_SAMPLE ${CMAKE_SOURCE_DIR}/data/sim/gauges/q14_cfg/q14_ppm.cfg)
file(GLOB Q14_DOC_PICTURES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/docs/img/*.png)
set(Q14_DOC_BUILD ${CMAKE_BINARY_DIR}/package_docs)

# The documents every edition carries, made once.
if(Q14_CAN_PACKAGE)
  add_custom_command(
    OUTPUT ${Q14_DOC_BUILD}/USER_GUIDE.html ${Q14_DOC_BUILD}/panel.cfg.txt
    COMMAND ${CMAKE_COMMAND} -DCMARK_GFM=${Q14_CMARK_GFM} -DGUIDE=${CMAKE_SOURCE_DIR}/docs/USER_GUIDE.md
            -DOUT_DIR=${Q14_DOC_BUILD} -DVERSION=${PROJECT_VERSION} -P ${CMAKE_SOURCE_DIR}/cmake/package_docs.cmake
    DEPENDS ${CMAKE_SOURCE_DIR}/docs/USER_GUIDE.md ${CMAKE_SOURCE_DIR}/cmake/package_docs.cmake
    COMMENT "Rendering the user guide and the panel.cfg fragment")
endif()

# q14_package_edition(<edition> <default> <module targets...>)
# Installs one edition's files into the package component of that name. The default edition's
# archive is q14-<version>-win32.zip, any other's q14-<version>-win32-<edition>.zip.
function(q14_package_edition edition default)
  if(NOT Q14_CAN_PACKAGE)
    return()
  endif()
  set(modules ${ARGN})
  # Each file as "folder|source[|new name]", in the order SHA256SUMS lists them.
  set(files "")
  foreach(m ${modules})
    list(APPEND files "Gauges|$<TARGET_FILE:${m}>")
  endforeach()
  list(APPEND files
       "Gauges/q14_cfg|${Q14_CFG_SAMPLE}"
       "Gauges/q14_cfg|${Q14_CFG_SAMPLE}|q14_ppm_sample.cfg"
       "${Q14_DOC_DIR}|${Q14_DOC_BUILD}/USER_GUIDE.html"
       "${Q14_DOC_DIR}|${Q14_DOC_BUILD}/panel.cfg.txt"
       "${Q14_DOC_DIR}|${CMAKE_SOURCE_DIR}/CHANGELOG.md|CHANGELOG.txt"
       "${Q14_DOC_DIR}|${CMAKE_SOURCE_DIR}/docs/THIRD_PARTY_NOTICES.txt")
  foreach(p ${Q14_DOC_PICTURES})
    list(APPEND files "${Q14_DOC_DIR}/img|${p}")
  endforeach()

  set(sources "")
  foreach(f ${files})
    string(REPLACE "|" ";" f "${f}")
    list(GET f 0 dir)
    list(GET f 1 src)
    list(APPEND sources ${src})
    list(LENGTH f n)
    if(n EQUAL 3)
      list(GET f 2 name)
      install(FILES ${src} DESTINATION ${dir} RENAME ${name} COMPONENT ${edition})
    else()
      install(FILES ${src} DESTINATION ${dir} COMPONENT ${edition})
    endif()
  endforeach()

  # SHA256SUMS of every other file, written beside the documents. The list goes through a
  # file, which also resolves the modules' paths.
  set(sums ${CMAKE_BINARY_DIR}/package_sums/${edition}/SHA256SUMS)
  set(listing ${CMAKE_BINARY_DIR}/package_sums/${edition}/files.txt)
  string(REPLACE ";" "\n" listed "${files}")
  file(GENERATE OUTPUT ${listing} CONTENT "${listed}\n")
  add_custom_command(
    OUTPUT ${sums}
    COMMAND ${CMAKE_COMMAND} -DLIST=${listing} -DOUT=${sums} -P ${CMAKE_SOURCE_DIR}/cmake/package_sums.cmake
    DEPENDS ${listing} ${sources} ${modules} ${CMAKE_SOURCE_DIR}/cmake/package_sums.cmake
    COMMENT "Checksums of the ${edition} package")
  add_custom_target(q14_package_sums_${edition} ALL DEPENDS ${sums})
  install(FILES ${sums} DESTINATION ${Q14_DOC_DIR} COMPONENT ${edition})

  if(default)
    set(name q14-${PROJECT_VERSION}-win32)
  else()
    set(name q14-${PROJECT_VERSION}-win32-${edition})
  endif()
  set_property(GLOBAL APPEND PROPERTY Q14_PACKAGES "${edition}|${name}")
endfunction()

# Called once, after every edition: the CPack settings.
function(q14_package_finish)
  get_property(packages GLOBAL PROPERTY Q14_PACKAGES)
  if(NOT packages)
    return()
  endif()
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_NAME q14)
  set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
  set(CPACK_PACKAGE_FILE_NAME q14-${PROJECT_VERSION}-win32)
  # The files lie at the archive's root: it is unzipped into the simulator's folder.
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
  set(CPACK_COMPONENTS_GROUPING IGNORE)
  set(CPACK_COMPONENTS_ALL "")
  foreach(p ${packages})
    string(REPLACE "|" ";" p "${p}")
    list(GET p 0 edition)
    list(GET p 1 name)
    list(APPEND CPACK_COMPONENTS_ALL ${edition})
    string(TOUPPER ${edition} upper)
    set(CPACK_ARCHIVE_${upper}_FILE_NAME ${name})
  endforeach()
  # The commit's time on every entry, nothing of the build machine.
  set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/package_normalise.cmake)
  set(CPACK_Q14_SOURCE_DIR ${CMAKE_SOURCE_DIR})
  set(CPACK_Q14_STRIP_NONDETERMINISM ${Q14_STRIP_NONDETERMINISM})
  set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR})
  include(CPack)
endfunction()
