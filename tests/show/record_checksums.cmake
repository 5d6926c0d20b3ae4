# The recorded show is the same on every platform: every frame and the sound
# of a run of the whole show (2 frames a second, sound at 11000 Hz) have the
# SHA-256 sums that the reference lists (the first 16 hex digits of each).
# The reference is that of the native Linux build; the Windows build runs the
# same test under Wine.
#   cmake [-DEMULATOR=...] -DRECORD=... -DWORK=dir -DREFERENCE=file [-DUPDATE=ON] -P record_checksums.cmake
# (from build/). UPDATE=ON writes the reference instead of comparing with it.
cmake_policy(SET CMP0007 NEW)
file(REMOVE_RECURSE ${WORK})
execute_process(COMMAND ${EMULATOR} ${RECORD} ${WORK} --fps 2 --rate 11000
                RESULT_VARIABLE rc ERROR_VARIABLE err OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "record failed: ${rc}\n${err}")
endif()
file(GLOB files RELATIVE ${WORK} ${WORK}/*)
list(SORT files)
set(sums "")
foreach(f ${files})
  file(SHA256 ${WORK}/${f} sum)
  string(SUBSTRING ${sum} 0 16 sum)
  string(APPEND sums "${f} ${sum}\n")
endforeach()
if(UPDATE)
  file(WRITE ${REFERENCE} "${sums}")
  file(REMOVE_RECURSE ${WORK})
  return()
endif()
file(READ ${REFERENCE} expected)
if(NOT sums STREQUAL expected)
  # Name the files that differ, or that one side lacks.
  string(REPLACE "\n" ";" got_lines "${sums}")
  string(REPLACE "\n" ";" want_lines "${expected}")
  set(report "")
  foreach(line ${want_lines})
    list(FIND got_lines "${line}" at)
    if(at EQUAL -1)
      string(APPEND report "  expected ${line}\n")
    endif()
  endforeach()
  foreach(line ${got_lines})
    list(FIND want_lines "${line}" at)
    if(at EQUAL -1)
      string(APPEND report "  got      ${line}\n")
    endif()
  endforeach()
  message(FATAL_ERROR "the recording differs from the reference:\n${report}")
endif()
file(REMOVE_RECURSE ${WORK})
