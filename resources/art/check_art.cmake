# Runs mkart into OUT with the language tables of TABLES and compares each
# picture with the one in COMMITTED: the language-free ones in COMMITTED
# itself, the worded ones of language <code> in COMMITTED/lang/<code>/.
# Usage: cmake -DMKART=... -DOUT=... -DCOMMITTED=... -DTABLES=... -P check_art.cmake
set(ART_FILES
  backdrop.bmp
  setup.ico tovarin.ico question.ico warning.ico error.ico disk.ico)
file(GLOB tables RELATIVE "${TABLES}" "${TABLES}/*.txt")
if(NOT tables)
  message(FATAL_ERROR "no language tables in ${TABLES}")
endif()
foreach(t ${tables})
  string(REGEX REPLACE "\\.txt$" "" code "${t}")
  foreach(p logo.bmp billboard1.bmp billboard2.bmp billboard3.bmp billboard4.bmp billboard5.bmp)
    list(APPEND ART_FILES lang/${code}/${p})
  endforeach()
endforeach()

file(REMOVE_RECURSE "${OUT}")
file(MAKE_DIRECTORY "${OUT}")
execute_process(COMMAND "${MKART}" "${OUT}" "${TABLES}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "mkart failed: ${rc}")
endif()

file(GLOB_RECURSE made RELATIVE "${OUT}" "${OUT}/*")
list(SORT made)
set(expected ${ART_FILES})
list(SORT expected)
if(NOT made STREQUAL expected)
  message(FATAL_ERROR "mkart wrote [${made}], expected [${expected}]")
endif()

set(drift "")
foreach(f ${ART_FILES})
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${OUT}/${f}" "${COMMITTED}/${f}"
                  RESULT_VARIABLE same)
  if(NOT same EQUAL 0)
    list(APPEND drift ${f})
  endif()
endforeach()
if(drift)
  message(FATAL_ERROR "committed pictures differ from mkart's output: ${drift}; run 'make art'")
endif()
