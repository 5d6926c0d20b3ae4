# The frame loop's clear of a 320x200 frame.
if(TARGET driver)
  demo_bench(NAME driver_clear_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/driver_clear_surface.cpp LIBS driver)
endif()
