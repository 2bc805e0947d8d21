# Build step of an installer: stages one edition's files (the package's listing and its
# SHA256SUMS) with the commit's time (EPOCH_FILE, written by cmake/package_epoch.cmake),
# writes the lists of what the installer puts in place and what its uninstaller removes, and
# runs makensis on installer/q14.nsi.
#   cmake -DLIST=<files.txt> -DSUMS=<SHA256SUMS> -DSTAGE=<folder> -DOUT=<setup .exe>
#         -DLANGUAGE=<en|ru> -DVERSION=<x.y.z> -DROUTE_FILE=<path below the simulator folder>
#         -DMAKENSIS=<program> -DSOURCE_DIR=<checkout> -DCOMPANY=<maker> -DCOPYRIGHT=<terms>
#         -DEPOCH_FILE=<file> -P installer_build.cmake
include(${SOURCE_DIR}/cmake/package_listing.cmake)
file(REMOVE_RECURSE ${STAGE})
file(STRINGS ${LIST} entries)
list(APPEND entries "q14_docs|${SUMS}")

set(paths "")
set(staged "")
set(size 0)
foreach(entry IN LISTS entries)
  q14_listing_entry("${entry}" dir src name)
  file(MAKE_DIRECTORY ${STAGE}/${dir})
  file(COPY_FILE ${src} ${STAGE}/${dir}/${name})
  file(SIZE ${src} bytes)
  math(EXPR size "${size} + ${bytes}")
  list(APPEND paths ${dir}/${name})
  list(APPEND staged ${STAGE}/${dir}/${name})
endforeach()

# The installer stores each file's time: the commit's, as in the zip.
file(STRINGS ${EPOCH_FILE} epoch LIMIT_COUNT 1)
execute_process(COMMAND touch -h -d @${epoch} ${staged} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "could not set the time of the staged files in ${STAGE}")
endif()

# What the installer puts in place, folder by folder; the route file only where there is none.
# What the uninstaller removes: every file but the route file, then each of the folders that
# is left empty, deepest first (never Gauges itself, the simulator's own).
set(install "")
set(remove "")
set(folders "")
set(current "")
foreach(path IN LISTS paths)
  get_filename_component(dir ${path} DIRECTORY)
  string(REPLACE "/" "\\" win_dir "${dir}")
  string(REPLACE "/" "\\" win_path "${path}")
  if(NOT dir STREQUAL current)
    string(APPEND install "  SetOutPath \"$INSTDIR\\${win_dir}\"\n")
    set(current ${dir})
  endif()
  if(path STREQUAL ROUTE_FILE)
    string(APPEND install "  SetOverwrite off\n  File \"${STAGE}/${path}\"\n  SetOverwrite on\n")
  else()
    string(APPEND install "  File \"${STAGE}/${path}\"\n")
    string(APPEND remove "  Delete \"$INSTDIR\\${win_path}\"\n")
  endif()
  while(NOT dir STREQUAL "" AND NOT dir STREQUAL "Gauges")
    list(APPEND folders ${dir})
    get_filename_component(dir ${dir} DIRECTORY)
  endwhile()
endforeach()
list(REMOVE_DUPLICATES folders)
list(SORT folders)
list(REVERSE folders)
foreach(dir IN LISTS folders)
  string(REPLACE "/" "\\" win_dir "${dir}")
  string(APPEND remove "  RMDir \"$INSTDIR\\${win_dir}\"\n")
endforeach()
math(EXPR size_kb "(${size} + 1023) / 1024")
file(WRITE ${STAGE}.nsh "; Written by cmake/installer_build.cmake.
!define Q14_SIZE_KB ${size_kb}
!macro Q14_INSTALL_FILES
${install}!macroend
!macro Q14_REMOVE_FILES
${remove}!macroend
")

execute_process(COMMAND ${MAKENSIS} -V2 -INPUTCHARSET UTF8 -DQ14_VERSION=${VERSION} -DQ14_LANGUAGE=${LANGUAGE}
                        "-DQ14_COMPANY=${COMPANY}" "-DQ14_COPYRIGHT=${COPYRIGHT}" -DQ14_FILES=${STAGE}.nsh -DQ14_LICENSE=${STAGE}/q14_docs/LICENSE.txt -DQ14_OUT=${OUT}
                        ${SOURCE_DIR}/installer/q14.nsi
                RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "makensis could not build ${OUT}")
endif()
