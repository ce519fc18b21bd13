# Tests over the qpdf-made fixtures in fixtures/, and the pdf_query tool that
# the qpdf comparison and the benchmark run.

add_executable(pdf_query ${CMAKE_CURRENT_SOURCE_DIR}/tools/pdf_query.cpp)
target_link_libraries(pdf_query PRIVATE pagewire::exports)

pagewire_add_test(fixture_query_tests
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fixture_queries_test.cpp
  LIBS pagewire::exports)

# The comparison runs the native tool, so it is not part of a cross build.
find_program(PAGEWIRE_QPDF qpdf)
find_package(Python3 COMPONENTS Interpreter)
if(NOT CMAKE_CROSSCOMPILING AND Python3_Interpreter_FOUND)
  if(PAGEWIRE_QPDF)
    add_test(NAME fixture_qpdf_compare
      COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/fixture_qpdf_compare.py
              $<TARGET_FILE:pdf_query> ${PAGEWIRE_QPDF} ${CMAKE_CURRENT_SOURCE_DIR}/fixtures)
  else()
    # Reported as skipped rather than silently missing.
    add_test(NAME fixture_qpdf_compare COMMAND ${CMAKE_COMMAND} -E echo "qpdf not on PATH")
    set_tests_properties(fixture_qpdf_compare PROPERTIES SKIP_REGULAR_EXPRESSION "qpdf not on PATH")
  endif()
endif()
