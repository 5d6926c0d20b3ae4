# Spline ribbons and the object scene, one 320x200 frame per iteration.
if(TARGET effects)
  demo_bench(NAME bench_effects_ribbons_object SOURCES ${CMAKE_CURRENT_LIST_DIR}/effects_ribbons_object.cpp LIBS effects)
endif()
