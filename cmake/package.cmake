# The release package (CPack, ZIP): one archive per edition (caption set and the guide's
# language), unzipped into the simulator's folder. Layout of each (the modules read
# gauges\q14_cfg\q14_ppm.cfg below the simulator's folder):
#   Gauges/q14_n1.gau, Gauges/q14_n2.gau
#   Gauges/q14_cfg/q14_ppm.cfg          route and settings file, the sample
#   Gauges/q14_cfg/q14_ppm_sample.cfg   the same sample, to restore the file from
#   q14_docs/                           README.txt, user guide (HTML, pictures), panel.cfg
#                                       fragment, change log, licence, third-party notices,
#                                       SHA256SUMS
# Every text file a pilot opens has Windows line ends. The archive depends only on the commit
# (cmake/package_normalise.cmake). The installers carry the same files (cmake/installer.cmake).
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
# The pilot's route file: an installer puts it in place only where there is none.
set(Q14_ROUTE_FILE Gauges/q14_cfg/q14_ppm.cfg)

# q14_crlf(<source> <copy>): the build makes <copy>, <source> with Windows line ends.
function(q14_crlf source copy)
  add_custom_command(
    OUTPUT ${copy}
    COMMAND ${CMAKE_COMMAND} -DIN=${source} -DOUT=${copy} -P ${CMAKE_SOURCE_DIR}/cmake/package_crlf.cmake
    DEPENDS ${source} ${CMAKE_SOURCE_DIR}/cmake/package_crlf.cmake
    COMMENT "Windows line ends: ${copy}")
endfunction()

# q14_package_edition(<edition> <title> <archive name> <guide .md> <language> <module targets...>)
# Installs one edition's files into the package component of that name, the archive
# <archive name>.zip: its modules, the route file, and its user guide in HTML with the pictures
# the guide shows (below docs/, in the same folders as the guide refers to them); and its
# installer (cmake/installer.cmake), whose test checks the modules carry <title>.
function(q14_package_edition edition title package guide language)
  if(NOT Q14_CAN_PACKAGE)
    return()
  endif()
  set(modules ${ARGN})
  set(doc_build ${CMAKE_BINARY_DIR}/package_docs/${edition})
  add_custom_command(
    OUTPUT ${doc_build}/USER_GUIDE.html ${doc_build}/panel.cfg.txt
    COMMAND ${CMAKE_COMMAND} -DCMARK_GFM=${Q14_CMARK_GFM} -DGUIDE=${guide} -DLANGUAGE=${language}
            -DOUT_DIR=${doc_build} -DVERSION=${PROJECT_VERSION} -P ${CMAKE_SOURCE_DIR}/cmake/package_docs.cmake
    DEPENDS ${guide} ${CMAKE_SOURCE_DIR}/cmake/package_docs.cmake
    COMMENT "Rendering the ${edition} user guide and the panel.cfg fragment")
  # The pictures the guide shows; a changed guide configures again.
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${guide})
  file(STRINGS ${guide} picture_lines REGEX "\\]\\(img/[^)]*\\.png\\)" ENCODING UTF-8)
  set(pictures "")
  foreach(line IN LISTS picture_lines)
    string(REGEX MATCHALL "\\]\\(img/[^)]*\\.png\\)" refs "${line}")
    foreach(ref IN LISTS refs)
      string(REGEX REPLACE "^\\]\\((.*)\\)$" "\\1" ref "${ref}")
      list(APPEND pictures ${ref})
    endforeach()
  endforeach()
  list(REMOVE_DUPLICATES pictures)
  list(SORT pictures)

  # The texts a pilot opens, with Windows line ends; the README in the guide's language.
  if(language STREQUAL en)
    set(readme ${CMAKE_SOURCE_DIR}/docs/README.txt)
  else()
    set(readme ${CMAKE_SOURCE_DIR}/docs/README.${language}.txt)
  endif()
  set(text_build ${doc_build}/crlf)
  q14_crlf(${Q14_CFG_SAMPLE} ${text_build}/q14_ppm.cfg)
  q14_crlf(${readme} ${text_build}/README.txt)
  q14_crlf(${CMAKE_SOURCE_DIR}/CHANGELOG.md ${text_build}/CHANGELOG.txt)
  q14_crlf(${CMAKE_SOURCE_DIR}/LICENSE ${text_build}/LICENSE.txt)
  q14_crlf(${CMAKE_SOURCE_DIR}/docs/THIRD_PARTY_NOTICES.txt ${text_build}/THIRD_PARTY_NOTICES.txt)

  # Each file as "folder|source[|new name]", in the order SHA256SUMS lists them.
  set(files "")
  foreach(m ${modules})
    list(APPEND files "Gauges|$<TARGET_FILE:${m}>")
  endforeach()
  list(APPEND files
       "Gauges/q14_cfg|${text_build}/q14_ppm.cfg"
       "Gauges/q14_cfg|${text_build}/q14_ppm.cfg|q14_ppm_sample.cfg"
       "${Q14_DOC_DIR}|${text_build}/README.txt"
       "${Q14_DOC_DIR}|${doc_build}/USER_GUIDE.html"
       "${Q14_DOC_DIR}|${doc_build}/panel.cfg.txt"
       "${Q14_DOC_DIR}|${text_build}/CHANGELOG.txt"
       "${Q14_DOC_DIR}|${text_build}/LICENSE.txt"
       "${Q14_DOC_DIR}|${text_build}/THIRD_PARTY_NOTICES.txt")
  foreach(p ${pictures})
    get_filename_component(folder ${p} DIRECTORY)
    list(APPEND files "${Q14_DOC_DIR}/${folder}|${CMAKE_SOURCE_DIR}/docs/${p}")
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
            ${CMAKE_SOURCE_DIR}/cmake/package_listing.cmake
    COMMENT "Checksums of the ${edition} package")
  add_custom_target(q14_package_sums_${edition} ALL DEPENDS ${sums})
  install(FILES ${sums} DESTINATION ${Q14_DOC_DIR} COMPONENT ${edition})
  q14_installer(${edition} "${title}" ${language} ${listing} ${sums} q14_package_sums_${edition})

  set_property(GLOBAL APPEND PROPERTY Q14_PACKAGES "${edition}|${package}")
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
