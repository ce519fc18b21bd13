# Chooses the crypto backend: OpenSSL libcrypto where it exists for the target,
# libgcrypt otherwise (Debian ships no OpenSSL for MinGW-w64).
set(PAGEWIRE_CRYPTO_BACKEND "" CACHE STRING "openssl or gcrypt; empty picks one")

if(NOT PAGEWIRE_CRYPTO_BACKEND)
  find_package(OpenSSL QUIET COMPONENTS Crypto)
  if(OpenSSL_FOUND)
    set(PAGEWIRE_CRYPTO_BACKEND openssl)
  else()
    set(PAGEWIRE_CRYPTO_BACKEND gcrypt)
  endif()
endif()

if(PAGEWIRE_CRYPTO_BACKEND STREQUAL "openssl")
  find_package(OpenSSL REQUIRED COMPONENTS Crypto)
elseif(PAGEWIRE_CRYPTO_BACKEND STREQUAL "gcrypt")
  find_package(Gcrypt REQUIRED)
else()
  message(FATAL_ERROR "Unknown crypto backend '${PAGEWIRE_CRYPTO_BACKEND}'")
endif()
message(STATUS "Crypto backend: ${PAGEWIRE_CRYPTO_BACKEND}")
