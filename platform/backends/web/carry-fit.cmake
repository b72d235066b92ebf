# Writes the page's script with the placing rule's module (rink-fit.wasm) inside it, in
# hexadecimal: the page runs it at once, before anything else has loaded.
#   cmake -DMODULE=rink-fit.wasm -DPAGE=configured-rink-page.js -DOUT=site/rink-page.js -P carry-fit.cmake
file(READ ${MODULE} RINK_FIT_MODULE HEX)
configure_file(${PAGE} ${OUT} @ONLY)
include(${CMAKE_CURRENT_LIST_DIR}/page-script.cmake)
rink_drop_line_comments(${OUT})
