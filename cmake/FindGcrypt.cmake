# Finds libgcrypt and libgpg-error, which it needs, as the imported targets
# Gcrypt::Gcrypt and Gcrypt::GpgError. A Windows build takes the static
# libraries, so that the programs need no DLL beside them; static
# libgpg-error then needs Winsock.
if(WIN32)
  set(_gcrypt_names libgcrypt.a gcrypt)
  set(_gpg_error_names libgpg-error.a gpg-error)
else()
  set(_gcrypt_names gcrypt)
  set(_gpg_error_names gpg-error)
endif()
find_library(GCRYPT_LIBRARY NAMES ${_gcrypt_names})
find_library(GPG_ERROR_LIBRARY NAMES ${_gpg_error_names})
find_path(GCRYPT_INCLUDE_DIR gcrypt.h)
find_path(GPG_ERROR_INCLUDE_DIR gpg-error.h)

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(Gcrypt
  REQUIRED_VARS GCRYPT_LIBRARY GPG_ERROR_LIBRARY GCRYPT_INCLUDE_DIR GPG_ERROR_INCLUDE_DIR)

if(Gcrypt_FOUND AND NOT TARGET Gcrypt::Gcrypt)
  add_library(Gcrypt::GpgError UNKNOWN IMPORTED)
  set_target_properties(Gcrypt::GpgError PROPERTIES
    IMPORTED_LOCATION ${GPG_ERROR_LIBRARY}
    INTERFACE_INCLUDE_DIRECTORIES ${GPG_ERROR_INCLUDE_DIR})
  if(WIN32)
    set_property(TARGET Gcrypt::GpgError PROPERTY INTERFACE_LINK_LIBRARIES ws2_32)
  endif()
  add_library(Gcrypt::Gcrypt UNKNOWN IMPORTED)
  set_target_properties(Gcrypt::Gcrypt PROPERTIES
    IMPORTED_LOCATION ${GCRYPT_LIBRARY}
    INTERFACE_INCLUDE_DIRECTORIES ${GCRYPT_INCLUDE_DIR}
    INTERFACE_LINK_LIBRARIES Gcrypt::GpgError)
endif()
mark_as_advanced(GCRYPT_LIBRARY GPG_ERROR_LIBRARY GCRYPT_INCLUDE_DIR GPG_ERROR_INCLUDE_DIR)
