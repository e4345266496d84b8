#pragma once
#include "PatchFormat.h"

#include <cstdint>
#include <string>

namespace patchfile {

// The key a patch library trusts: an Ed25519 public key.
struct PublicKey {
    uint8_t bytes[kPublicKeySize] = {};
    bool operator==(const PublicKey& other) const;
    bool operator!=(const PublicKey& other) const { return !(*this == other); }
};

extern const char kPublicKeyType[]; // the type line of a public key file

std::string FormatPublicKey(const PublicKey& key);
bool ParsePublicKey(const std::string& text, PublicKey& key, std::string& error);
// Reads and parses a public key file; the error names the file.
bool ReadPublicKeyFile(const std::string& path, PublicKey& key, std::string& error);

// What a person compares to tell keys apart: the first 16 bytes of the key's SHA-512, in
// eight groups of four hex digits ("3f2a:9b1c:...").
std::string KeyFingerprint(const uint8_t (&key)[kPublicKeySize]);
inline std::string KeyFingerprint(const PublicKey& key) {
    return KeyFingerprint(key.bytes);
}

} // namespace patchfile
