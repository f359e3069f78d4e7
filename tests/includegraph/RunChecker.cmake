# cmake -DCHECKER=PROGRAM -DTREE=FOLDER -DEXPECTED=FILE -DEXIT=CODE -P RunChecker.cmake
# Runs the include-graph checker on a tree; fails unless it exits with CODE and prints exactly
# what FILE holds (an empty FILE: nothing on standard output).
execute_process(COMMAND ${CHECKER} ${TREE}
                RESULT_VARIABLE exitCode OUTPUT_VARIABLE printed ERROR_VARIABLE errors)
file(READ ${EXPECTED} expected)
if(NOT exitCode STREQUAL EXIT)
    message(FATAL_ERROR "The checker exited with ${exitCode}, not ${EXIT}. It printed:\n"
                        "${printed}${errors}")
endif()
if(NOT printed STREQUAL expected)
    message(FATAL_ERROR "The checker printed:\n${printed}\ninstead of:\n${expected}")
endif()
