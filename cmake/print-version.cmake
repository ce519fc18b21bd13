# cmake -P cmake/print-version.cmake: prints the VERSION of the project()
# call in the top-level CMakeLists.txt, for tools that run before CMake
# configures (the Debian changelog).
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/../CMakeLists.txt line
  REGEX "^project\\([^)]* VERSION [0-9.]+" LIMIT_COUNT 1)
if(NOT line MATCHES " VERSION ([0-9.]+)")
  message(FATAL_ERROR "no project(... VERSION ...) in CMakeLists.txt")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E echo ${CMAKE_MATCH_1})
