// The password cipher (AES-256-CBC through the EVP interface) and the
// password file pass.crpt.
#include "mail/sscrypt.h"

#include <algorithm>
#include <cstring>

#include <openssl/crypto.h>
#include <openssl/err.h>
#include <openssl/evp.h>

#include "db/util.h"
#include "platform/fs.h"
#include "platform/window_system.h"

namespace soc {

CipherCtxNew cipher_ctx_new = EVP_CIPHER_CTX_new;

void sscrypt_reset() { cipher_ctx_new = EVP_CIPHER_CTX_new; }

namespace {

// The key and the initialisation vector: a fixed arithmetic over the byte
// positions, the same in every run, stored nowhere.
void mk_key(unsigned char key[32], unsigned char iv[16]) {
  unsigned v = 0x2F;
  for (int i = 0; i < 32; ++i) {
    v = (v * 73 + 41 + static_cast<unsigned>(i) * 17) & 0xFF;
    key[i] = static_cast<unsigned char>(v ^ (i << 2));
  }
  for (int i = 0; i < 16; ++i) {
    v = (v * 29 + 7 + static_cast<unsigned>(i) * 101) & 0xFF;
    iv[i] = static_cast<unsigned char>(v ^ 0x5C);
  }
}

// Encrypts len bytes of plain into out; the ciphertext length, -1 on a
// library failure.
int encrypt(const unsigned char* plain, int len, const unsigned char* key, const unsigned char* iv,
            unsigned char* out) {
  EVP_CIPHER_CTX* c = cipher_ctx_new();
  if (!c) return -1;
  int n = 0, total = -1;
  if (EVP_EncryptInit_ex(c, EVP_aes_256_cbc(), nullptr, key, iv) == 1 &&
      EVP_EncryptUpdate(c, out, &n, plain, len) == 1) {
    total = n;
    if (EVP_EncryptFinal_ex(c, out + n, &n) == 1)
      total += n;
    else
      total = -1;
  }
  EVP_CIPHER_CTX_free(c);
  return total;
}

// Decrypts len bytes into out; the plaintext length, 0 when the bytes are
// not a ciphertext of this key (wrong length or padding), -1 on a library
// failure.
int decrypt(const unsigned char* cipher, int len, const unsigned char* key,
            const unsigned char* iv, unsigned char* out) {
  EVP_CIPHER_CTX* c = cipher_ctx_new();
  if (!c) return -1;
  int n = 0, total = -1;
  if (EVP_DecryptInit_ex(c, EVP_aes_256_cbc(), nullptr, key, iv) == 1) {
    if (EVP_DecryptUpdate(c, out, &n, cipher, len) != 1) {
      total = -1;
    } else {
      total = n;
      // A padding that does not check out is a file that does not decrypt:
      // its bytes are no password.
      total = EVP_DecryptFinal_ex(c, out + n, &n) == 1 ? total + n : 0;
    }
  }
  EVP_CIPHER_CTX_free(c);
  return total;
}

}  // namespace

void handleErrors() {
  ERR_clear_error();
  ws().message_box("Fatal Error in Crypting/Decrypting...", "DEBUG", Icon::error);
}

int config_task(int direction, std::string& long_str, int len) {
  unsigned char key[32], iv[16];
  mk_key(key, iv);
  unsigned char in[kCryptMax + 16], out[kCryptMax + 32];
  int r;
  if (direction == 0) {
    len = static_cast<int>(std::min(long_str.size(), kCryptMax - 16));
    std::memcpy(in, long_str.data(), static_cast<std::size_t>(len));
    r = encrypt(in, len, key, iv, out);
  } else if (len < 0 || len > static_cast<int>(std::min(long_str.size(), kCryptMax))) {
    r = 0;  // more bytes than a password file holds: no password
  } else {
    std::memcpy(in, long_str.data(), static_cast<std::size_t>(len));
    r = len == 0 ? 0 : decrypt(in, len, key, iv, out);
  }
  OPENSSL_cleanse(key, sizeof key);
  OPENSSL_cleanse(iv, sizeof iv);
  OPENSSL_cleanse(in, sizeof in);
  if (!long_str.empty()) OPENSSL_cleanse(long_str.data(), long_str.size());
  if (r < 0) {
    long_str.clear();
    OPENSSL_cleanse(out, sizeof out);
    handleErrors();
    return -1;
  }
  long_str.assign(reinterpret_cast<const char*>(out), static_cast<std::size_t>(r));
  OPENSSL_cleanse(out, sizeof out);
  return r;
}

int do_encrypt(std::string& long_str) { return config_task(0, long_str, 0); }

int do_decrypt(std::string& long_str, int len) { return config_task(1, long_str, len); }

int store_pass(const std::string& password) {
  std::string long_str = password;
  if (!long_str.empty() && do_encrypt(long_str) < 0) return -1;
  const std::string saved = file_name;  // the caller's current path stays
  mk_fname(kPassFile);
  const std::string path = file_name;
  file_name = saved;
  return replace_file(path, long_str, 0600) == 0 ? 0 : 1;
}

}  // namespace soc
