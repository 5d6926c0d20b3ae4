# Grid distortion and fire tunnel: one 320x200 frame each, as the scenes draw it.
if(TARGET effects)
  demo_bench(NAME effects_grid_fire_bench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/effects_grid_fire.cpp LIBS effects)
endif()
