# 3D engine: loading a 3D Studio scene, compared in the same run with
# Debian's lib3ds reading the same bytes.
find_library(LIB3DS_LIBRARY 3ds)
find_path(LIB3DS_INCLUDE lib3ds/file.h)
if(TARGET engine3d AND TARGET assets AND LIB3DS_LIBRARY AND LIB3DS_INCLUDE)
  demo_bench(NAME engine3d_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/engine3d_load_scene.cpp LIBS engine3d assets
             ${LIB3DS_LIBRARY})
  target_include_directories(engine3d_bench PRIVATE ${LIB3DS_INCLUDE})
endif()
