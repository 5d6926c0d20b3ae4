# The recorder's scenes start on the frames that the module's marker rows
# predict: marker n, heard at m ms (xmrender --markers), is taken on the first
# frame k with k x 1000 / 60 >= m, so scene n starts on frame k + 1.
#   cmake -DRECORD=... -DXMRENDER=... -DWORK=dir -P record_markers.cmake   (from build/)
# EMULATOR: what runs the built programs in a cross build (empty otherwise).
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
execute_process(COMMAND ${EMULATOR} ${XMRENDER} data/tp.xm ${WORK}/tp.wav --seconds 181 --markers
                OUTPUT_VARIABLE markers RESULT_VARIABLE rc ERROR_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "xmrender failed: ${rc}")
endif()
execute_process(COMMAND ${EMULATOR} ${RECORD} --bench --fps 60 OUTPUT_VARIABLE bench RESULT_VARIABLE rc ERROR_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "record --bench failed: ${rc}")
endif()

string(REPLACE "\n" ";" lines "${markers}")
set(checked 0)
foreach(line IN LISTS lines)
  if(line MATCHES "^([0-9]+) [0-9]+ ([0-9]+)$" AND CMAKE_MATCH_2 LESS 14)
    set(ms ${CMAKE_MATCH_1})
    set(scene ${CMAKE_MATCH_2})
    math(EXPR frame "(${ms} * 60 + 999) / 1000 + 1")
    if(NOT bench MATCHES "scene ${scene} from frame ${frame} ")
      message(FATAL_ERROR "marker ${scene} heard at ${ms} ms: scene ${scene} should start on frame ${frame}\n${bench}")
    endif()
    math(EXPR checked "${checked} + 1")
  endif()
endforeach()
if(NOT checked EQUAL 13)
  message(FATAL_ERROR "${checked} scene markers checked, 13 expected")
endif()
file(REMOVE_RECURSE ${WORK})
