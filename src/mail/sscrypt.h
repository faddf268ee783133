// The stored SMTP password: pass.crpt in the data directory holds the
// AES-256-CBC ciphertext (PKCS #7 padding) of the password's bytes, nothing
// else. The key and the initialisation vector are built at run time by a
// fixed routine and are never stored. The file is private to the user
// (mode 0600) and replaced whole, so that it holds the old or the new
// password. A failure of the cipher library is reported in a "DEBUG" box and
// refuses the operation; the program goes on.
#pragma once

#include <string>

struct evp_cipher_ctx_st;

namespace soc {

inline constexpr std::size_t kCryptMax = 512;   // longest ciphertext or plaintext handled
inline constexpr const char* kPassFile = "pass.crpt";

// Encrypts the password in long_str and leaves the ciphertext bytes there;
// returns their length, -1 when the cipher library failed.
int do_encrypt(std::string& long_str);
// Decrypts the first len bytes of long_str and leaves the plaintext there;
// returns its length (0 when the bytes do not decrypt), -1 when the cipher
// library failed.
int do_decrypt(std::string& long_str, int len);
// The cipher layer: direction 0 encrypts, 1 decrypts.
int config_task(int direction, std::string& long_str, int len);
// The "DEBUG" box of a cipher library failure.
void handleErrors();

// Stores password as pass.crpt (an empty password as an empty file).
// 0 = stored, 1 = the file cannot be written, -1 = the cipher library failed.
int store_pass(const std::string& password);

// The cipher context constructor in use; tests replace it to make the
// library fail.
using CipherCtxNew = evp_cipher_ctx_st* (*)();
extern CipherCtxNew cipher_ctx_new;
void sscrypt_reset();   // the real constructor again (tests)

}  // namespace soc
