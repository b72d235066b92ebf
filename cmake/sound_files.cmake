# The game's nine sound files in DIRECTORY/sounds, as rink-sounds writes them.
set(rink_sound_names shot boards post save check goal whistle win lose)
function(rink_sound_files out_var directory)
  set(files)
  foreach(name IN LISTS rink_sound_names)
    list(APPEND files ${directory}/sounds/${name}.wav)
  endforeach()
  set(${out_var} ${files} PARENT_SCOPE)
endfunction()
