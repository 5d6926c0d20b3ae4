# Music: offline rendering speed of the player and mixer.
if(TARGET music)
  demo_bench(NAME music_bench
             SOURCES ${CMAKE_CURRENT_LIST_DIR}/music_render.cpp ${CMAKE_SOURCE_DIR}/tests/music/module_writer.cpp
             LIBS music)
endif()
