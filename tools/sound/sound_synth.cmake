# The sound effects' synthesizer as a library, sound_synth: rink-sounds writes the effects with it
# at build time, and the web build links it so that the page makes them at start-up.
add_library(sound_synth STATIC)
target_sources(sound_synth PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/synth.cpp ${CMAKE_CURRENT_LIST_DIR}/master.cpp ${CMAKE_CURRENT_LIST_DIR}/impacts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/signals.cpp ${CMAKE_CURRENT_LIST_DIR}/wav_file.cpp ${CMAKE_CURRENT_LIST_DIR}/effect_files.cpp)
target_include_directories(sound_synth PUBLIC ${CMAKE_CURRENT_LIST_DIR} PRIVATE ${PROJECT_SOURCE_DIR}/tools/bytes)
rink_warnings(sound_synth)
