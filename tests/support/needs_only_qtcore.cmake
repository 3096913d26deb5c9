# Fails when PROGRAM needs a Qt library besides QtCore: a logic test program that links the
# screens, the real platform or Qt's picture and widget libraries no longer proves that logic
# cannot see them. Run as: cmake -DREADELF=... -DPROGRAM=... -P needs_only_qtcore.cmake
execute_process(COMMAND ${READELF} -d ${PROGRAM} OUTPUT_VARIABLE dynamic RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "readelf could not read ${PROGRAM}")
endif()
string(REGEX MATCHALL "libQt6[A-Za-z]+" needed "${dynamic}")
list(REMOVE_ITEM needed libQt6Core)
if(needed)
  list(REMOVE_DUPLICATES needed)
  list(JOIN needed ", " needed)
  message(FATAL_ERROR "${PROGRAM} needs ${needed}; a logic test program needs QtCore only")
endif()
