# Browser build (Emscripten): the host stand-in and the platform layer as the main program,
# both units as side modules it opens with dlopen as on Linux (one memory, named values shared),
# and the page with its artwork, all in <build>/site.
set(Q14_SITE ${CMAKE_BINARY_DIR}/site)
find_program(Q14_NODE node REQUIRED)
find_package(Python3 REQUIRED COMPONENTS Interpreter)
# Debian's Emscripten finds its JavaScript optimiser's acorn module there when node is not
# Debian's own.
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)
# Everything is position independent: the side modules are relocated at load time.
add_compile_options(-fPIC)

foreach(unit 1 2)
  add_executable(q14_n${unit} ${Q14_MODULE_SOURCES})
  target_include_directories(q14_n${unit} PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_definitions(q14_n${unit} PRIVATE Q14_UNIT=${unit})
  set_target_properties(q14_n${unit} PROPERTIES SUFFIX ".wasm" CXX_VISIBILITY_PRESET hidden
                        RUNTIME_OUTPUT_DIRECTORY ${Q14_SITE})
  # Each unit binds its own exported records (Linkage, ImportTable) to itself: the loader keeps
  # one global offset table for all modules, where the first unit loaded would otherwise win.
  target_link_options(q14_n${unit} PRIVATE -sSIDE_MODULE=1 -sWASM_BIGINT -Wl,-Bsymbolic)
endforeach()

# The main program exports what the side modules import (the platform layer and the few C
# library calls they make), read from the side modules themselves.
set(Q14_WEB_EXPORTS ${CMAKE_BINARY_DIR}/side_imports.json)
add_custom_command(OUTPUT ${Q14_WEB_EXPORTS}
  COMMAND ${Q14_NODE} ${CMAKE_SOURCE_DIR}/web/side_imports.js ${Q14_WEB_EXPORTS}
          $<TARGET_FILE:q14_n1> $<TARGET_FILE:q14_n2>
  DEPENDS q14_n1 q14_n2 ${CMAKE_SOURCE_DIR}/web/side_imports.js
  COMMENT "Listing what the side modules import")
add_custom_target(q14_web_exports DEPENDS ${Q14_WEB_EXPORTS})

# The stand-in, the platform layer and the tools' route check and plan import, as the native
# build defines them.
foreach(dir platform host tools)
  add_subdirectory(${CMAKE_SOURCE_DIR}/${dir} ${CMAKE_BINARY_DIR}/${dir})
endforeach()

add_executable(q14_web ${CMAKE_SOURCE_DIR}/web/trainer_api.cpp ${CMAKE_SOURCE_DIR}/web/flight_check.cpp
                       ${CMAKE_SOURCE_DIR}/web/debrief_api.cpp ${CMAKE_SOURCE_DIR}/web/instructor_api.cpp)
target_link_libraries(q14_web PRIVATE q14host q14plat q14plan)
add_dependencies(q14_web q14_web_exports)
set_target_properties(q14_web PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${Q14_SITE} LINK_DEPENDS "${Q14_WEB_EXPORTS};${CMAKE_SOURCE_DIR}/web/trainer_lib.js;${CMAKE_SOURCE_DIR}/web/compile_hint.js")
# 64-bit values cross between the modules as they are (the performance counter), without the
# JavaScript helpers that would otherwise split them.
target_link_options(q14_web PRIVATE -sMAIN_MODULE=2 -sWASM_BIGINT -sEXPORTED_FUNCTIONS=@${Q14_WEB_EXPORTS}
  -sEXPORTED_RUNTIME_METHODS=FS,UTF8ToString,stringToUTF8,lengthBytesUTF8,stackSave,stackRestore,stackAlloc,addRunDependency,removeRunDependency
  -sALLOW_MEMORY_GROWTH=1 -sINVOKE_RUN=0 -sENVIRONMENT=web --js-library ${CMAKE_SOURCE_DIR}/web/trainer_lib.js
  --extern-pre-js ${CMAKE_SOURCE_DIR}/web/compile_hint.js
)

# The page: its files, the panel bitmaps as PNG, the segment fonts and the sample route. The
# page offers every caption set whatever Q14_CAPTIONS says: the bitmaps all sets share in
# art/atlas.png, the Latin set's own in art/own.png, each other set's in art/<set>/own.png.
file(GLOB Q14_PAGE_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/web/page/*)
# The page's scripts are ES modules (main.js and what it imports); the site serves them as one
# minified script, trainer.js, which the browser fetches and compiles in one go instead of in
# rounds of imports, every function of it while it streams (the comment the banner puts first).
file(GLOB Q14_PAGE_SCRIPTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/web/page/*.js)
list(REMOVE_ITEM Q14_PAGE_FILES ${Q14_PAGE_SCRIPTS})
find_program(Q14_ESBUILD esbuild REQUIRED)
add_custom_command(OUTPUT ${Q14_SITE}/trainer.js
  COMMAND ${Q14_ESBUILD} ${CMAKE_SOURCE_DIR}/web/page/main.js --bundle --minify --format=iife --target=es2020
          --log-level=warning --outfile=${Q14_SITE}/trainer.js "--banner:js=//# allFunctionsCalledOnLoad"
  DEPENDS ${Q14_PAGE_SCRIPTS} VERBATIM
  COMMENT "Bundling the page's scripts")
q14_caption_set(latin Q14_LATIN_BITMAPS Q14_UNUSED_RC)
file(GLOB Q14_BITMAPS CONFIGURE_DEPENDS ${Q14_LATIN_BITMAPS}/*.bmp)
set(Q14_OTHER_SETS "")
foreach(set IN LISTS Q14_CAPTION_SETS)
  if(NOT set STREQUAL latin)
    q14_caption_set(${set} Q14_SET_BITMAPS Q14_UNUSED_RC)
    file(GLOB Q14_SET_FILES CONFIGURE_DEPENDS ${Q14_SET_BITMAPS}/*.bmp)
    list(APPEND Q14_BITMAPS ${Q14_SET_FILES})
    list(APPEND Q14_OTHER_SETS ${set}=${Q14_SET_BITMAPS})
  endif()
endforeach()
# What every set shares in art/atlas.png, what each has of its own in art/own.png (Latin) or
# art/<set>/own.png; emptied first, so that nothing lingers from an earlier build.
set(Q14_ART_COMMANDS COMMAND ${CMAKE_COMMAND} -E rm -rf ${Q14_SITE}/art
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/web/make_atlas.py ${Q14_LATIN_BITMAPS} ${Q14_SITE}/art ${Q14_OTHER_SETS})
set(Q14_FONT_DIR /usr/share/fonts/truetype/dseg)
add_custom_command(OUTPUT ${Q14_SITE}/art/stamp
  ${Q14_ART_COMMANDS}
  COMMAND ${CMAKE_COMMAND} -E touch ${Q14_SITE}/art/stamp
  DEPENDS ${Q14_BITMAPS} ${CMAKE_SOURCE_DIR}/web/bmp2png.py ${CMAKE_SOURCE_DIR}/web/make_atlas.py
  COMMENT "Panel bitmaps of every caption set to PNG")
# The installed trainer's icons: unit 1's panel face.
set(Q14_ICONS ${Q14_SITE}/icon-192.png ${Q14_SITE}/icon-512.png)
add_custom_command(OUTPUT ${Q14_ICONS}
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/web/make_icons.py ${Q14_LATIN_BITMAPS}/4128.bmp ${Q14_SITE} 192 512
  DEPENDS ${Q14_LATIN_BITMAPS}/4128.bmp ${CMAKE_SOURCE_DIR}/web/make_icons.py ${CMAKE_SOURCE_DIR}/web/bmp2png.py
  COMMENT "Trainer icons from the panel face")
# The service worker comes last: it lists every file of the site and is versioned by their hash.
add_custom_target(q14_site ALL
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${Q14_PAGE_FILES} ${Q14_SITE}
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${Q14_FONT_DIR}/DSEG7Classic-Regular.ttf
          ${Q14_FONT_DIR}/DSEG14Classic-Regular.ttf ${Q14_SITE}
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/data/sim/gauges/q14_cfg/q14_ppm.cfg ${Q14_SITE}
  COMMAND ${Q14_NODE} ${CMAKE_SOURCE_DIR}/web/make_worker.js ${Q14_SITE} ${CMAKE_SOURCE_DIR}/web/offline_worker.js
  DEPENDS ${Q14_SITE}/art/stamp ${Q14_ICONS} ${Q14_PAGE_FILES} ${Q14_SITE}/trainer.js q14_web
  COMMENT "Assembling the trainer site")

# The browser tests: the site served as run-trainer serves it, driven in headless Chromium
# (web/tests/browser_test.js), one browser at a time. The scripted session (web/session.txt)
# runs first in the native stand-in (the native preset's tree beside this one), whose trace the
# browser's must match. The run also draws the documentation's screenshot into the reports.
set(Q14_NATIVE_DIR ${CMAKE_BINARY_DIR}/../native CACHE PATH "Native build tree whose q14session writes the trace the browser tests compare with")
q14_add_test(native_trace LABELS browser SETUP native_trace TIMEOUT 900
             COMMAND ${CMAKE_SOURCE_DIR}/web/tests/native-trace.sh ${Q14_NATIVE_DIR} ${Q14_REPORTS}/native-session.trace)
q14_add_test(browser LABELS browser NEEDS native_trace LOCK browser TIMEOUT 900
             COMMAND ${Q14_NODE} ${CMAKE_SOURCE_DIR}/web/tests/browser_test.js ${Q14_SITE} ${Q14_REPORTS}/browser.xml
                     ${Q14_REPORTS}/trainer.png ${Q14_REPORTS}/native-session.trace ${Q14_NATIVE_DIR}/tools/q14bench)

# The trainer's benchmark with its targets as gates (web/bench.js; label bench, the figures in
# docs/performance.md), given the native frame benchmark when the native tree has built it.
q14_add_test(bench LABELS bench LOCK browser TIMEOUT 900
             COMMAND ${Q14_NODE} ${CMAKE_SOURCE_DIR}/web/bench.js ${Q14_SITE} ${Q14_NATIVE_DIR}/scenarios/q14_bench_frame 60)

# Further browser suites, one CTest entry each: web/tests/<name>_test.js, given the site and its
# report as the first suite is (the shared harness is web/tests/harness.js).
function(q14_browser_suite name)
  q14_add_test(browser_${name} LABELS browser LOCK browser TIMEOUT 900
               COMMAND ${Q14_NODE} ${CMAKE_SOURCE_DIR}/web/tests/${name}_test.js ${Q14_SITE} ${Q14_REPORTS}/browser_${name}.xml)
endfunction()

q14_browser_suite(screen)
q14_browser_suite(debrief)
q14_browser_suite(instructor)
q14_browser_suite(lang)
q14_browser_suite(offline)
