# Caption sets of the panel bitmaps: Latin (the default) or Cyrillic. Q14_CAPTIONS chooses the
# set the modules of this build tree carry and the tools draw with; the artwork tests check all.
set(Q14_CAPTION_SETS latin cyrillic)
set(Q14_CAPTIONS latin CACHE STRING "Caption set of the panel bitmaps: latin or cyrillic")
set_property(CACHE Q14_CAPTIONS PROPERTY STRINGS ${Q14_CAPTION_SETS})
if(NOT Q14_CAPTIONS IN_LIST Q14_CAPTION_SETS)
  message(FATAL_ERROR "Q14_CAPTIONS=${Q14_CAPTIONS}: give one of ${Q14_CAPTION_SETS}")
endif()

# q14_caption_set(<set> <bitmap folder var> <resource script var>): where a set's files lie
# (res/make_art.py writes them there).
function(q14_caption_set set dir_var rc_var)
  if(set STREQUAL latin)
    set(${dir_var} ${CMAKE_SOURCE_DIR}/res/bmp PARENT_SCOPE)
    set(${rc_var} ${CMAKE_SOURCE_DIR}/res/q14.rc PARENT_SCOPE)
  else()
    set(${dir_var} ${CMAKE_SOURCE_DIR}/res/bmp-${set} PARENT_SCOPE)
    set(${rc_var} ${CMAKE_SOURCE_DIR}/res/q14-${set}.rc PARENT_SCOPE)
  endif()
endfunction()

q14_caption_set(${Q14_CAPTIONS} Q14_BITMAP_DIR Q14_RESOURCE_SCRIPT)
