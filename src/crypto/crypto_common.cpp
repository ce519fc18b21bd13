#include "crypto/crypto.h"

namespace pagewire::crypto {

Md5Digest Md5Of(const void* data, std::size_t length) {
  Md5 md5;
  md5.Update(data, length);
  return md5.Finish();
}

}  // namespace pagewire::crypto
