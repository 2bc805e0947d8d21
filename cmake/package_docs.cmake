# Build step of the package: renders a user guide (docs/USER_GUIDE.md, or .ru.md in Russian) to
# HTML with cmark-gfm (tables on) and takes the guide's panel.cfg example out as a text file to
# paste into an aircraft's panel.cfg.
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
  set(version_words "версия ${VERSION}")
  set(version_line "q14, версия ${VERSION}")
  string(CONCAT fragment_head
      "; q14 ${VERSION}: пример установки обоих навигационных блоков в panel.cfg самолёта. Перенесите\r\n"
      "; эти секции в panel.cfg самолёта, объединив их с его окнами; каждый прибор описан в\r\n"
      "; руководстве (USER_GUIDE.html, раздел 3).\r\n")
else()
  set(LANGUAGE en)
  set(version_words "version ${VERSION}")
  set(version_line "q14 version ${VERSION}")
  string(CONCAT fragment_head
      "; q14 ${VERSION}: an example of both navigation units in an aircraft's panel.cfg. Paste the\r\n"
      "; sections into the aircraft's own file, merging them with the windows it has; the user\r\n"
      "; guide (USER_GUIDE.html, section 3) explains each gauge.\r\n")
endif()

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
<title>${title} (${version_words})</title>
<style>
body { max-width: 56em; margin: 1em auto; padding: 0 1em; font-family: sans-serif; line-height: 1.4; }
table { border-collapse: collapse; }
th, td { border: 1px solid #aaa; padding: 0.2em 0.5em; text-align: left; vertical-align: top; }
pre { background: #f2f2f2; padding: 0.5em; overflow-x: auto; }
img { max-width: 100%; }
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
