# The shipped modules: PE32 DLLs named q14_n1.gau and q14_n2.gau, runtimes linked statically,
# exporting Linkage and ImportTable undecorated, carrying the panel bitmaps and a version
# resource. Each edition (a bitmap set) is one q14_add_edition call and one package.
enable_language(RC)
# No folder of the build in what the compiler writes (file names in messages, debug
# information), so that two builds of one commit in different folders give the same bytes.
add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}/= -ffile-prefix-map=${CMAKE_BINARY_DIR}/=build/)
set(Q14_STATIC_RUNTIME -static -static-libgcc -static-libstdc++)
# The maker and the terms in the version resources of the modules and the installers.
set(Q14_COMPANY "q14 project")
set(Q14_COPYRIGHT "Copyright (c) 2026 the q14 authors, MIT licence")
include(${CMAKE_SOURCE_DIR}/cmake/installer.cmake)
include(${CMAKE_SOURCE_DIR}/cmake/package_checks.cmake)
include(${CMAKE_SOURCE_DIR}/cmake/package.cmake)
include(${CMAKE_SOURCE_DIR}/cmake/package_tests.cmake)

# Where each unit's module prefers to be loaded: distinct, so that the two units loaded side by
# side need no relocation.
set(Q14_IMAGE_BASE_1 0x6adc0000)
set(Q14_IMAGE_BASE_2 0x6bf80000)

# The code of each unit, compiled once and linked into every edition's module.
foreach(unit 1 2)
  add_library(q14_n${unit}_code OBJECT ${Q14_MODULE_SOURCES} ${CMAKE_SOURCE_DIR}/platform/platform_win32.cpp)
  target_include_directories(q14_n${unit}_code PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_definitions(q14_n${unit}_code PRIVATE Q14_UNIT=${unit})
endforeach()

# q14_add_edition(<name> RESOURCES <bitmap .rc> BITMAPS <files...> TITLE <text> GUIDE <.md>
#                 LANGUAGE <code> PACKAGE <archive name> [DEFAULT])
# Builds both modules with the bitmaps the resource script lists and a version resource whose
# description names the unit and the edition (TITLE, e.g. "Latin captions"), and packages them
# with the user guide GUIDE (in LANGUAGE) as the archive PACKAGE.zip (cmake/package.cmake). The
# DEFAULT edition's targets are q14_n1 and q14_n2 in the build folder itself; any other
# edition's are q14_n1_<name> and q14_n2_<name> in <build>/<name>/.
function(q14_add_edition edition)
  cmake_parse_arguments(PARSE_ARGV 1 arg "DEFAULT" "RESOURCES;TITLE;GUIDE;LANGUAGE;PACKAGE" "BITMAPS")
  # windres reports no dependencies: a redrawn bitmap must still rebuild the resources.
  set_source_files_properties(${arg_RESOURCES} PROPERTIES OBJECT_DEPENDS "${arg_BITMAPS}")
  if(arg_DEFAULT)
    set(suffix "")
    set(out_dir ${CMAKE_BINARY_DIR})
  else()
    set(suffix _${edition})
    set(out_dir ${CMAKE_BINARY_DIR}/${edition})
  endif()
  set(modules "")
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/maps)
  foreach(unit 1 2)
    set(target q14_n${unit}${suffix})
    set(Q14_RC_NAME q14_n${unit})
    set(Q14_RC_DESCRIPTION "q14 navigation unit ${unit}, gauge module (${arg_TITLE})")
    set(Q14_RC_EDITION "${arg_TITLE}")
    set(version_rc ${CMAKE_BINARY_DIR}/version/${target}.rc)
    configure_file(${CMAKE_SOURCE_DIR}/res/version.rc.in ${version_rc} @ONLY)

    add_library(${target} SHARED $<TARGET_OBJECTS:q14_n${unit}_code> ${arg_RESOURCES} ${version_rc})
    set_target_properties(${target} PROPERTIES PREFIX "" SUFFIX ".gau" OUTPUT_NAME q14_n${unit}
                          RUNTIME_OUTPUT_DIRECTORY ${out_dir} ARCHIVE_OUTPUT_DIRECTORY ${out_dir})
    # Only the two data symbols are exported, without decoration. Shipped stripped and without
    # the link time in the header, so that one commit always gives the same bytes.
    # The link map names the runtime archives linked in (run-tests holds them against the
    # third-party notices).
    # The image base is the one the linker derives from the name q14_n<unit>.gau, fixed here
    # because it would otherwise follow the output path, and an edition in a subfolder would
    # load elsewhere and differ in every relocated address.
    target_link_options(${target} PRIVATE ${Q14_STATIC_RUNTIME} -Wl,--kill-at -Wl,--exclude-all-symbols
                        -s -Wl,--no-insert-timestamp -Wl,-Map=${CMAKE_BINARY_DIR}/maps/${target}.map
                        -Wl,--image-base=${Q14_IMAGE_BASE_${unit}})
    list(APPEND modules ${target})
  endforeach()
  q14_package_edition(${edition} "${arg_TITLE}" ${arg_PACKAGE} ${arg_GUIDE} ${arg_LANGUAGE} ${modules})
  q14_add_package_tests(${edition} ${arg_PACKAGE} ${arg_LANGUAGE} "${arg_TITLE}" ${modules})
endfunction()

# One edition per caption set (cmake/captions.cmake), whatever Q14_CAPTIONS says; the set it
# names is the build's own, q14_n1 and q14_n2. The Latin edition comes with the English guide,
# the Cyrillic one with the Russian guide.
foreach(set ${Q14_CAPTION_SETS})
  q14_caption_set(${set} bitmap_dir resource_script)
  file(GLOB bitmaps CONFIGURE_DEPENDS ${bitmap_dir}/*.bmp)
  set(default "")
  if(set STREQUAL Q14_CAPTIONS)
    set(default DEFAULT)
  endif()
  if(set STREQUAL latin)
    set(title "Latin captions")
    set(guide USER_GUIDE.md)
    set(language en)
    set(package q14-${PROJECT_VERSION}-win32)
  else()
    set(title "Cyrillic captions")
    set(guide USER_GUIDE.ru.md)
    set(language ru)
    set(package q14-${PROJECT_VERSION}-win32-ru)
  endif()
  q14_add_edition(${set} ${default} RESOURCES ${resource_script} BITMAPS ${bitmaps} TITLE "${title}"
                  GUIDE ${CMAKE_SOURCE_DIR}/docs/${guide} LANGUAGE ${language} PACKAGE ${package})
endforeach()
q14_package_finish()

# Test hosts that load the real .gau files (run under Wine).
if(EXISTS ${CMAKE_SOURCE_DIR}/host/wine/CMakeLists.txt)
  add_subdirectory(host/wine)
endif()
