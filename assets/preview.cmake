# cmake -DIMGCONV=... -DDATA_DIR=... -P preview.cmake
# Converts every TGA image of the data folder into DATA_DIR/preview/NAME.png
# through the console's own TGA reader, so the pictures can be looked at as
# the demo sees them.
file(MAKE_DIRECTORY ${DATA_DIR}/preview)
file(GLOB images ${DATA_DIR}/*.tga)
list(SORT images)
foreach(image ${images})
  get_filename_component(name ${image} NAME_WE)
  execute_process(COMMAND ${IMGCONV} ${image} ${DATA_DIR}/preview/${name}.png
                  RESULT_VARIABLE result OUTPUT_QUIET)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "imgconv could not convert ${image}")
  endif()
endforeach()
