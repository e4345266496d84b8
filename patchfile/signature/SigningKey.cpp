#include "SigningKey.h"

#include "KeyText.h"
#include "NewKeyFile.h"

#include <sodium.h>

#include <cstdio>
#include <sys/stat.h>

namespace patchfile {

const char kPrivateKeyType[] = "quill-patch-private-key ed25519";

namespace {

bool DerivePublicKey(SigningKey& key) {
    unsigned char secret[crypto_sign_ed25519_SECRETKEYBYTES];
    bool derived = crypto_sign_ed25519_seed_keypair(key.publicKey.bytes, secret, key.seed) == 0;
    sodium_memzero(secret, sizeof(secret));
    return derived;
}

bool Exists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

} // namespace

bool GenerateSigningKey(SigningKey& key) {
    if (sodium_init() < 0)
        return false;
    randombytes_buf(key.seed, sizeof(key.seed));
    return DerivePublicKey(key);
}

std::string FormatSigningKey(const SigningKey& key) {
    return FormatKeyText(kPrivateKeyType, key.seed, sizeof(key.seed));
}

bool ParseSigningKey(const std::string& text, SigningKey& key, std::string& error) {
    if (!ParseKeyText(text, kPrivateKeyType, key.seed, sizeof(key.seed), error))
        return false;
    if (sodium_init() < 0 || !DerivePublicKey(key)) {
        error = "libsodium could not derive the public key";
        return false;
    }
    return true;
}

bool ReadSigningKeyFile(const std::string& path, SigningKey& key, std::string& error) {
    std::string text;
    if (!ReadKeyFile(path, text, error))
        return false;
    bool parsed = ParseSigningKey(text, key, error);
    sodium_memzero(&text[0], text.size());
    if (!parsed)
        error = path + ": " + error;
    return parsed;
}

bool WriteNewKeyPair(const std::string& path, const SigningKey& key, std::string& error) {
    std::string publicPath = path + ".pub";
    for (const std::string& existing : {path, publicPath}) {
        if (Exists(existing)) {
            error = existing + " exists already: a key is never overwritten";
            return false;
        }
    }
    std::string secret = FormatSigningKey(key);
    bool written = WriteNewFile(path, secret, true, error);
    sodium_memzero(&secret[0], secret.size());
    if (!written)
        return false;
    if (!WriteNewFile(publicPath, FormatPublicKey(key.publicKey), false, error)) {
        // Half a key pair is of no use and would block the next try.
        std::remove(path.c_str());
        return false;
    }
    return true;
}

} // namespace patchfile
