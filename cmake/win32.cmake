# The shipped modules: PE32 DLLs named q14_n1.gau and q14_n2.gau, runtimes linked statically,
# exporting Linkage and ImportTable undecorated, carrying the panel bitmaps as resources.
enable_language(RC)
set(Q14_STATIC_RUNTIME -static -static-libgcc -static-libstdc++)

# The bitmaps of the caption set chosen (cmake/captions.cmake). windres reports no
# dependencies: a redrawn bitmap must still rebuild the resources.
file(GLOB Q14_BITMAPS CONFIGURE_DEPENDS ${Q14_BITMAP_DIR}/*.bmp)
set_source_files_properties(${Q14_RESOURCE_SCRIPT} PROPERTIES OBJECT_DEPENDS "${Q14_BITMAPS}")

foreach(unit 1 2)
  add_library(q14_n${unit} SHARED ${Q14_MODULE_SOURCES} ${CMAKE_SOURCE_DIR}/platform/platform_win32.cpp
              ${Q14_RESOURCE_SCRIPT})
  target_include_directories(q14_n${unit} PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_definitions(q14_n${unit} PRIVATE Q14_UNIT=${unit})
  set_target_properties(q14_n${unit} PROPERTIES PREFIX "" SUFFIX ".gau" OUTPUT_NAME q14_n${unit})
  # Only the two data symbols are exported, without decoration.
  target_link_options(q14_n${unit} PRIVATE ${Q14_STATIC_RUNTIME} -Wl,--kill-at
                      -Wl,--exclude-all-symbols)
endforeach()

# Test hosts that load the real .gau files (run under Wine).
if(EXISTS ${CMAKE_SOURCE_DIR}/host/wine/CMakeLists.txt)
  add_subdirectory(host/wine)
endif()
