# Installation of the man page and the Debian package (cpack -G DEB).
# Included at the end of the top-level CMakeLists.txt, not on WIN32.
# The command itself is installed by src/cli, libpagewire.so and its header
# by src/exports; this file adds the man page and the CPack settings.
include(GNUInstallDirs)

install(FILES ${PROJECT_SOURCE_DIR}/src/cli/pagewire.1
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pagewire)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Pagewire developers")
set(CPACK_PACKAGE_CONTACT "Pagewire developers <dev@pagewire.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "print PDF and TIFF files directly on a PJL network printer")
set(CPACK_PACKAGE_DESCRIPTION
  "pagewire sends PDF and TIFF files as they are to a network printer that
renders them itself, through CUPS or a raw socket connection. In front of a
PDF it puts a PJL job header with the job settings (copies, page range,
two-sided printing, colour, paper, print mode, layout) and, for a
password-protected PDF, the password encrypted for the printer.
The package also holds libpagewire.so and its C header.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_NAME pagewire)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Pagewire developers <dev@pagewire.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
