# The 3D engine's rasterizers per pixel (full-screen spans and a mix of
# small triangles, against the floor of one texel read, one depth compare
# and two stores) and whole frames of both 3D Studio scenes.
if(TARGET effects AND TARGET engine3d)
  demo_bench(NAME bench_engine3d_render SOURCES ${CMAKE_CURRENT_LIST_DIR}/engine3d_render.cpp LIBS effects engine3d)
endif()
