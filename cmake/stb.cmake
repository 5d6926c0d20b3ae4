# stb is a set of single-file headers: each program that uses one compiles its
# implementation in one source file (the *_IMPLEMENTATION define), so nothing
# is linked. The headers come from the build machine's stb package. A cross
# build gets a copy of just those headers in its build folder, so that the
# target's compiler never sees the build machine's other system headers.
find_path(STB_INCLUDE_DIR stb/stb_truetype.h PATHS /usr/include /usr/local/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
if(CMAKE_CROSSCOMPILING)
  foreach(header stb_truetype.h stb_image_write.h)
    configure_file(${STB_INCLUDE_DIR}/stb/${header} ${CMAKE_BINARY_DIR}/stb_headers/stb/${header} COPYONLY)
  endforeach()
  set(stb_headers_dir ${CMAKE_BINARY_DIR}/stb_headers)
else()
  set(stb_headers_dir ${STB_INCLUDE_DIR})
endif()
add_library(stb_headers INTERFACE)
target_include_directories(stb_headers SYSTEM INTERFACE ${stb_headers_dir})
