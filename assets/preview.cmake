# cmake -DIMGCONV=... -DASSETGEN=... -DDATA_DIR=... -P preview.cmake
# Converts every TGA image of the data folder into DATA_DIR/preview/NAME.png
# through the console's own TGA reader, so the pictures can be looked at as
# the demo sees them, and adds contact_sheet.png with all of them at once.
# EMULATOR: what runs the built programs in a cross build (empty otherwise).
file(MAKE_DIRECTORY ${DATA_DIR}/preview)
file(GLOB images ${DATA_DIR}/*.tga)
list(SORT images)
foreach(image ${images})
  get_filename_component(name ${image} NAME_WE)
  execute_process(COMMAND ${EMULATOR} ${IMGCONV} ${image} ${DATA_DIR}/preview/${name}.png
                  RESULT_VARIABLE result OUTPUT_QUIET)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "imgconv could not convert ${image}")
  endif()
endforeach()

set(sheet ${DATA_DIR}/preview/contact_sheet.tga)
execute_process(COMMAND ${EMULATOR} ${ASSETGEN} --sheet ${sheet} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "assetgen could not write the contact sheet")
endif()
execute_process(COMMAND ${EMULATOR} ${IMGCONV} ${sheet} ${DATA_DIR}/preview/contact_sheet.png
                RESULT_VARIABLE result OUTPUT_QUIET)
file(REMOVE ${sheet})
if(NOT result EQUAL 0)
  message(FATAL_ERROR "imgconv could not convert the contact sheet")
endif()
