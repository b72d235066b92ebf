# Fails the build when a folder includes what its layer may not see: only platform/ knows SDL,
# the fonts and the browser, the match simulation sees nothing of the display but its operations.
set(root ${CMAKE_CURRENT_LIST_DIR}/..)

function(check_folder folder pattern why)
  file(GLOB_RECURSE sources ${root}/${folder}/*.cpp ${root}/${folder}/*.h)
  foreach(source IN LISTS sources)
    file(STRINGS ${source} lines REGEX "^[ \t]*#[ \t]*include")
    foreach(line IN LISTS lines)
      if(line MATCHES "${pattern}")
        file(RELATIVE_PATH name ${root} ${source})
        message(FATAL_ERROR "${name}: '${line}': ${why}")
      endif()
    endforeach()
  endforeach()
endfunction()

set(outside "[<\"](SDL|SDL2/|fontconfig/|emscripten)")
set(why "only platform/ may include SDL, fontconfig or Emscripten")
check_folder(display "${outside}" "${why}")
check_folder(sim "${outside}" "${why}")
check_folder(app "${outside}" "${why}")
check_folder(sim "[<\"](platform/|app/|tools/|display/(startup|bmp|draw_observer)\\.h)"
             "the match simulation may include only the display operations")
check_folder(display "[<\"](sim/|app/)" "the display layer does not know the game or the shell")
check_folder(platform "[<\"](display/|sim/|app/)" "the platform stand-in knows nothing of the game")
