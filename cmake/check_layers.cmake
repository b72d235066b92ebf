# Fails the build when a folder includes what its layer may not see. Within platform/ each folder
# sees only the folders below it: core sees nothing else, screen and session see core, a backend
# sees core and what it shares with other backends, the test hooks see core. Only the SDL backend
# includes SDL, only the web backend Emscripten; the match simulation sees nothing of the display
# but its operations, and the game's shell nothing of the headless backend or the test hooks.
# (The targets' include directories enforce the same when building; this names the rule broken.)
# An include by a relative or absolute path could reach any folder, so none may use one.
#   cmake [-DRINK_LAYER_ROOT=TREE] -P check_layers.cmake   (TREE: the source tree, by default this one)
cmake_minimum_required(VERSION 3.18)
set(root ${CMAKE_CURRENT_LIST_DIR}/..)
if(DEFINED RINK_LAYER_ROOT)
  set(root ${RINK_LAYER_ROOT})
endif()
set(platform_folders core screen session backends/sdl backends/web backends/headless testing)

# Which folder of platform/ each header "platform/NAME.h" belongs to.
foreach(folder IN LISTS platform_folders)
  file(GLOB headers ${root}/platform/${folder}/include/platform/*.h)
  foreach(header IN LISTS headers)
    get_filename_component(name ${header} NAME)
    set(home_of_${name} ${folder})
  endforeach()
endforeach()

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

# The platform headers FOLDER may include: those of the platform folders listed after it.
function(check_platform_includes folder)
  set(allowed ${ARGN})
  file(GLOB_RECURSE sources ${root}/${folder}/*.cpp ${root}/${folder}/*.h)
  foreach(source IN LISTS sources)
    file(STRINGS ${source} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]platform/")
    foreach(line IN LISTS lines)
      string(REGEX MATCH "platform/[A-Za-z0-9_]+\\.h" header "${line}")
      string(REPLACE "platform/" "" name "${header}")
      set(home "${home_of_${name}}")
      file(RELATIVE_PATH shown ${root} ${source})
      if(home STREQUAL "")
        message(FATAL_ERROR "${shown}: '${line}': no folder of platform/ has this header")
      endif()
      if(NOT home IN_LIST allowed)
        message(FATAL_ERROR "${shown}: '${line}': ${folder} may not include platform/${home}")
      endif()
    endforeach()
  endforeach()
endfunction()

check_platform_includes(platform/core core)
check_platform_includes(platform/screen core screen)
check_platform_includes(platform/session core session)
check_platform_includes(platform/backends/sdl core screen session backends/sdl)
check_platform_includes(platform/backends/web core screen session backends/web)
check_platform_includes(platform/backends/headless core session backends/headless)
check_platform_includes(platform/testing core testing)
check_platform_includes(display core)
check_platform_includes(sim)
check_platform_includes(app core screen session backends/sdl backends/web)

foreach(folder IN ITEMS display sim app platform)
  check_folder(${folder} "[<\"](/|([^>\"]*/)?\\.\\./)"
               "an include by a relative or absolute path can leave its layer: name the header from an include folder")
endforeach()

set(sdl "[<\"](SDL|SDL2/|fontconfig/)")
set(browser "[<\"]emscripten")
foreach(folder IN ITEMS display sim app platform/core platform/screen platform/session platform/backends/web
                        platform/backends/headless platform/testing)
  check_folder(${folder} "${sdl}" "only platform/backends/sdl may include SDL")
endforeach()
foreach(folder IN ITEMS display sim app platform/core platform/screen platform/session platform/backends/sdl
                        platform/backends/headless platform/testing)
  check_folder(${folder} "${browser}" "only platform/backends/web may include Emscripten")
endforeach()
check_folder(sim "[<\"](app/|tools/|display/(startup|bmp|draw_observer)\\.h)"
             "the match simulation may include only the display operations")
check_folder(display "[<\"](sim/|app/)" "the display layer does not know the game or the shell")
check_folder(platform "[<\"](display/|sim/|app/)" "the platform stand-in knows nothing of the game")
