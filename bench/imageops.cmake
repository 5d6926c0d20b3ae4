# Image operations and frame compositing on a 320x200 frame, each program
# timing a memcpy of the same frame in the same run for comparison.
if(TARGET imageops)
  demo_bench(NAME imageops_routines SOURCES ${CMAKE_CURRENT_LIST_DIR}/imageops_routines.cpp LIBS imageops)
endif()
if(TARGET driver)
  demo_bench(NAME imageops_compositing SOURCES ${CMAKE_CURRENT_LIST_DIR}/imageops_compositing.cpp LIBS driver)
endif()
