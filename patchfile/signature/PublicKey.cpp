#include "PublicKey.h"

#include "KeyText.h"

#include <sodium.h>

#include <cstring>

namespace patchfile {

const char kPublicKeyType[] = "quill-patch-public-key ed25519";

bool PublicKey::operator==(const PublicKey& other) const {
    return std::memcmp(bytes, other.bytes, sizeof(bytes)) == 0;
}

std::string FormatPublicKey(const PublicKey& key) {
    return FormatKeyText(kPublicKeyType, key.bytes, sizeof(key.bytes));
}

bool ParsePublicKey(const std::string& text, PublicKey& key, std::string& error) {
    return ParseKeyText(text, kPublicKeyType, key.bytes, sizeof(key.bytes), error);
}

bool ReadPublicKeyFile(const std::string& path, PublicKey& key, std::string& error) {
    std::string text;
    if (!ReadKeyFile(path, text, error))
        return false;
    if (ParsePublicKey(text, key, error))
        return true;
    error = path + ": " + error;
    return false;
}

std::string KeyFingerprint(const uint8_t (&key)[kPublicKeySize]) {
    static const char kDigits[] = "0123456789abcdef";
    unsigned char hash[crypto_hash_sha512_BYTES];
    crypto_hash_sha512(hash, key, sizeof(key));
    std::string text;
    for (size_t i = 0; i < 16; ++i) {
        if (i > 0 && i % 2 == 0)
            text += ':';
        text += kDigits[hash[i] >> 4];
        text += kDigits[hash[i] & 15];
    }
    return text;
}

} // namespace patchfile
