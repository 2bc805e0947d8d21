# The time every packaged file carries (zip entries, files in the installers): the time of the
# commit built, so that a package depends on nothing but the commit. SOURCE_DATE_EPOCH, when
# set, takes precedence; outside a git checkout the time is fixed.
function(q14_package_epoch source_dir out_var)
  set(epoch "$ENV{SOURCE_DATE_EPOCH}")
  if(epoch STREQUAL "")
    execute_process(COMMAND git -C ${source_dir} log -1 --format=%ct
                    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE rc ERROR_QUIET)
    if(NOT rc EQUAL 0 OR NOT epoch MATCHES "^[0-9]+$")
      set(epoch 1767225600)  # 2026-01-01 00:00 UTC
    endif()
  endif()
  set(${out_var} ${epoch} PARENT_SCOPE)
endfunction()

# Run as a build step, writes that time to a file, rewritten only when it changes, so that what
# carries it is built again after a new commit.
#   cmake -DSOURCE_DIR=<checkout> -DOUT=<file> -P package_epoch.cmake
if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE AND DEFINED OUT)
  q14_package_epoch(${SOURCE_DIR} epoch)
  set(old "")
  if(EXISTS ${OUT})
    file(READ ${OUT} old)
  endif()
  if(NOT old STREQUAL "${epoch}\n")
    file(WRITE ${OUT} "${epoch}\n")
  endif()
endif()
