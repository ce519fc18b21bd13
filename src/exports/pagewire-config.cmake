# find_package(pagewire): the imported target pagewire::pagewire, the shared
# library with its header's include directory.
include(${CMAKE_CURRENT_LIST_DIR}/pagewire-targets.cmake)
