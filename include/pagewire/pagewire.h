/* Pagewire's exported functions: the PDF queries and the password
 * encryption for the printer. Plain C, callable from any language. */
#ifndef PAGEWIRE_PAGEWIRE_H
#define PAGEWIRE_PAGEWIRE_H

#if defined(_WIN32)
#  define PAGEWIRE_API
#elif defined(__GNUC__)
#  define PAGEWIRE_API __attribute__((visibility("default")))
#else
#  define PAGEWIRE_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* 1: the PDF needs a password; 0: it does not; -1: it cannot be read. */
PAGEWIRE_API int IsPDFPasswd(const char* path);

/* 1: the PDF is encrypted and forbids printing; 0: it does not; -1: it
 * cannot be read. */
PAGEWIRE_API int IsPrintDisable(const char* path);

/* 1: the PDF is not encrypted, or the password opens it; 0: it does not;
 * -1: the file cannot be read. The password bytes are taken as given: the
 * first 32 count for revisions 2 to 4, the first 127 of UTF-8 for AES-256
 * files (revisions 5 and 6); NULL is the empty password. */
PAGEWIRE_API int CheckPDFPasswd(const char* path, const char* password);

/* Encrypts the 32-byte password block `in` into the 32 bytes at `out` with
 * DES-ECB under the first 8 bytes of MD5(key[0..keyLength)). When the
 * encryption cannot run (no memory), the 32 bytes are set to zero. */
PAGEWIRE_API void EncryptPassword(unsigned char* out, const unsigned char* in,
                                  const unsigned char* key, int keyLength);

/* Zeroes 40 bytes at `out`, then decrypts five 8-byte blocks of `in` (40
 * readable bytes) into them under the same key as EncryptPassword. */
PAGEWIRE_API void DecryptPassword(unsigned char* out, const unsigned char* in,
                                  const unsigned char* key, int keyLength);

#ifdef __cplusplus
}
#endif

#endif
