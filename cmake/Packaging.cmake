# Installation of the man page; included at the end of the top-level
# CMakeLists.txt, not on WIN32. The command itself is installed by src/cli,
# libpagewire.so, its header, pagewire.pc and its CMake package by
# src/exports. The Debian packages are built from debian/ by
# scripts/build-debs.sh.
include(GNUInstallDirs)

install(FILES ${PROJECT_SOURCE_DIR}/src/cli/pagewire.1
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
