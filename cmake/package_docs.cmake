# Build step of the package: renders a user guide (docs/USER_GUIDE.md, or .ru.md in Russian) to
# HTML with cmark-gfm (tables on), with a table of contents, anchors and links for the
# cross-references, readable on a phone's screen, and takes the guide's panel.cfg example out
# as a text file to paste into an aircraft's panel.cfg.
#   cmake -DCMARK_GFM=<program> -DGUIDE=<guide .md> -DLANGUAGE=<en|ru> -DOUT_DIR=<folder> -DVERSION=<x.y.z>
#         -P package_docs.cmake
file(MAKE_DIRECTORY ${OUT_DIR})
execute_process(COMMAND ${CMARK_GFM} --extension table --to html ${GUIDE}
                OUTPUT_VARIABLE body RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmark-gfm could not render ${GUIDE}")
endif()

# The few words of the package's own in the guide's language.
if(LANGUAGE STREQUAL ru)
  set(contents_word "Содержание")
  set(version_words "версия ${VERSION}")
  set(version_line "q14, версия ${VERSION}")
  string(CONCAT fragment_head
      "; q14 ${VERSION}: пример установки обоих навигационных блоков в panel.cfg самолёта. Перенесите\r\n"
      "; эти секции в panel.cfg самолёта, объединив их с его окнами; каждый прибор описан в\r\n"
      "; руководстве (USER_GUIDE.html, раздел 3). Номера окон и приборов продолжают номера самолёта:\r\n"
      "; симулятор останавливается на первом пропущенном номере.\r\n")
else()
  set(LANGUAGE en)
  set(contents_word "Contents")
  set(version_words "version ${VERSION}")
  set(version_line "q14 version ${VERSION}")
  string(CONCAT fragment_head
      "; q14 ${VERSION}: an example of both navigation units in an aircraft's panel.cfg. Paste the\r\n"
      "; sections into the aircraft's own file, merging them with the windows it has; the user\r\n"
      "; guide (USER_GUIDE.html, section 3) explains each gauge. Window and gauge numbers continue\r\n"
      "; the aircraft's own: the simulator stops reading at the first missing number.\r\n")
endif()

# Anchors: section N is "sN", its M-th subsection "sN-M"; the table of contents lists them all.
string(REGEX MATCHALL "<h[23]>[^<]*</h[23]>" headings "${body}")
set(section 0)
set(toc "")
set(in_section OFF)
foreach(heading IN LISTS headings)
  if(heading MATCHES "^<h2>(([0-9]+)\\.[^<]*)</h2>$")
    set(section ${CMAKE_MATCH_2})
    set(sub 0)
    set(id s${section})
    set(text "${CMAKE_MATCH_1}")
    if(in_section)
      string(APPEND toc "</ul></li>\n")
    endif()
    string(APPEND toc "<li><a href=\"#${id}\">${text}</a><ul>\n")
    set(in_section ON)
    string(REPLACE "${heading}" "<h2 id=\"${id}\">${text}</h2>" body "${body}")
  elseif(heading MATCHES "^<h3>([^<]*)</h3>$" AND in_section)
    math(EXPR sub "${sub} + 1")
    set(id s${section}-${sub})
    set(text "${CMAKE_MATCH_1}")
    string(APPEND toc "<li><a href=\"#${id}\">${text}</a></li>\n")
    string(REPLACE "${heading}" "<h3 id=\"${id}\">${text}</h3>" body "${body}")
  endif()
endforeach()
if(in_section)
  string(APPEND toc "</ul></li>\n")
endif()
set(toc "<nav class=\"toc\">\n<h2>${contents_word}</h2>\n<ul>\n${toc}</ul>\n</nav>\n")
# The table of contents before the first section; cross-references ("section 5", "раздел 5")
# as links; every table scrolls inside itself when it is wider than the page.
string(FIND "${body}" "<h2 id=" first)
if(first GREATER -1)
  string(SUBSTRING "${body}" 0 ${first} head)
  string(SUBSTRING "${body}" ${first} -1 rest)
  set(body "${head}${toc}${rest}")
endif()
string(REGEX REPLACE "([Ss]ections? |(раздел|Раздел)[^ ,.;:)<]* )([1-8])([^0-9])" "<a href=\"#s\\3\">\\1\\3</a>\\4" body "${body}")
string(REPLACE "<table>" "<div class=\"wide\"><table>" body "${body}")
string(REPLACE "</table>" "</table></div>" body "${body}")

file(STRINGS ${GUIDE} lines ENCODING UTF-8)
# The title is the guide's first heading.
set(title "")
foreach(line IN LISTS lines)
  if(line MATCHES "^# (.*)$")
    set(title "${CMAKE_MATCH_1}")
    break()
  endif()
endforeach()
file(WRITE ${OUT_DIR}/USER_GUIDE.html "<!DOCTYPE html>
<html lang=\"${LANGUAGE}\">
<head>
<meta charset=\"utf-8\">
<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">
<title>${title} (${version_words})</title>
<style>
body { max-width: 56em; margin: 1em auto; padding: 0 1em; font-family: sans-serif; line-height: 1.4; }
table { border-collapse: collapse; }
th, td { border: 1px solid #aaa; padding: 0.2em 0.5em; text-align: left; vertical-align: top; }
pre { background: #f2f2f2; padding: 0.5em; overflow-x: auto; }
img { max-width: 100%; height: auto; }
code { overflow-wrap: anywhere; }
.wide { overflow-x: auto; }
.toc ul { padding-left: 1.5em; }
</style>
</head>
<body>
<p><small>${version_line}</small></p>
${body}</body>
</html>
")

# The panel.cfg example: the first ini block of the guide's panel.cfg section.
set(section OFF)
set(inside OFF)
set(fragment "")
foreach(line IN LISTS lines)
  if(line MATCHES "^## ")
    string(FIND "${line}" "panel.cfg" at)
    if(at GREATER -1)
      set(section ON)
    else()
      set(section OFF)
    endif()
  elseif(section AND NOT inside AND line STREQUAL "```ini")
    set(inside ON)
  elseif(inside AND line STREQUAL "```")
    break()
  elseif(inside)
    string(APPEND fragment "${line}\r\n")
  endif()
endforeach()
if(fragment STREQUAL "")
  message(FATAL_ERROR "${GUIDE} has no ini block in its panel.cfg section")
endif()
file(WRITE ${OUT_DIR}/panel.cfg.txt "${fragment_head}${fragment}")
