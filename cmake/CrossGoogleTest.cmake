# GoogleTest for a cross build, from the sources Debian's googletest package
# ships, plus the CTest fixture that runs the test programs in one private
# Wine session (scripts/wine-env.sh) and ends it after the last test.
set(PAGEWIRE_GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
if(NOT EXISTS ${PAGEWIRE_GOOGLETEST_SOURCE_DIR}/CMakeLists.txt)
  message(FATAL_ERROR "GoogleTest sources not found in ${PAGEWIRE_GOOGLETEST_SOURCE_DIR} "
                      "(Debian package googletest)")
endif()

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
# Our warning flags are for our code, not GoogleTest's.
get_directory_property(_pagewire_saved_options COMPILE_OPTIONS)
set_directory_properties(PROPERTIES COMPILE_OPTIONS "")
add_subdirectory(${PAGEWIRE_GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
set_directory_properties(PROPERTIES COMPILE_OPTIONS "${_pagewire_saved_options}")

foreach(_lib gtest gtest_main gmock gmock_main)
  if(NOT TARGET GTest::${_lib})
    add_library(GTest::${_lib} ALIAS ${_lib})
  endif()
endforeach()

set(PAGEWIRE_WINE_SESSION_DIR ${CMAKE_BINARY_DIR}/wine-session)
add_test(NAME wine_session_start
         COMMAND ${PROJECT_SOURCE_DIR}/scripts/wine-env.sh start ${PAGEWIRE_WINE_SESSION_DIR})
add_test(NAME wine_session_stop
         COMMAND ${PROJECT_SOURCE_DIR}/scripts/wine-env.sh stop ${PAGEWIRE_WINE_SESSION_DIR})
set_tests_properties(wine_session_start PROPERTIES FIXTURES_SETUP wine_session TIMEOUT 420)
set_tests_properties(wine_session_stop PROPERTIES FIXTURES_CLEANUP wine_session TIMEOUT 60)

# Runs the given CTest tests in the shared Wine session.
function(pagewire_use_wine_session)
  if(ARGN)
    set_tests_properties(${ARGN} PROPERTIES
      FIXTURES_REQUIRED wine_session
      ENVIRONMENT "PAGEWIRE_WINE_SESSION=${PAGEWIRE_WINE_SESSION_DIR}"
      TIMEOUT 300)
  endif()
endfunction()
