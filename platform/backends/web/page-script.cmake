# Writes the page's script IN to OUT without its whole-line comments: they are for the script's
# readers, and every visit downloads the script. A line that holds only a // comment goes; code,
# and a comment after code, stay (no script of the page has such a line inside a string).
#   cmake -DIN=script.js -DOUT=site/script.js -P page-script.cmake
# carry-fit.cmake and write-worker.cmake include it for the scripts they write.

function(rink_drop_line_comments file)
  file(READ ${file} text)
  string(REGEX REPLACE "\n[ \t]*//[^\n]*" "" text "\n${text}")
  string(REGEX REPLACE "^\n" "" text "${text}")
  file(WRITE ${file} "${text}")
endfunction()

if(DEFINED IN)
  configure_file(${IN} ${OUT} COPYONLY)
  rink_drop_line_comments(${OUT})
endif()
