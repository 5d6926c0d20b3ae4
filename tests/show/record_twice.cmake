# Two short recordings with the same settings give the same frames and sound.
#   cmake -DRECORD=... -DWORK=dir -P record_twice.cmake   (from build/)
# EMULATOR: what runs the built programs in a cross build (empty otherwise).
file(REMOVE_RECURSE ${WORK})
foreach(run a b)
  execute_process(COMMAND ${EMULATOR} ${RECORD} ${WORK}/${run} --from 7 --seconds 1.5 --fps 30 --rate 22050
                  RESULT_VARIABLE rc ERROR_VARIABLE err OUTPUT_QUIET)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "record failed: ${rc}\n${err}")
  endif()
endforeach()
file(GLOB files RELATIVE ${WORK}/a ${WORK}/a/*)
list(LENGTH files count)
if(NOT count EQUAL 46) # 45 frames and the WAV
  message(FATAL_ERROR "${count} files recorded, 46 expected")
endif()
foreach(f IN LISTS files)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/a/${f} ${WORK}/b/${f} RESULT_VARIABLE differs)
  if(differs)
    message(FATAL_ERROR "${f} differs between two recordings")
  endif()
endforeach()
file(REMOVE_RECURSE ${WORK})
