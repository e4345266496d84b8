#pragma once
#include "PublicKey.h"

#include <string>

namespace patchfile {

// A publisher's private key: the 32-byte Ed25519 seed (RFC 8032's private key), from which
// the public key follows. Never linked into the patch library.
struct SigningKey {
    uint8_t seed[32] = {};
    PublicKey publicKey;
};

extern const char kPrivateKeyType[]; // the type line of a private key file

// A new key from the system's random source. False only when libsodium cannot start.
bool GenerateSigningKey(SigningKey& key);

std::string FormatSigningKey(const SigningKey& key);
bool ParseSigningKey(const std::string& text, SigningKey& key, std::string& error);
// Reads and parses a private key file; the error names the file.
bool ReadSigningKeyFile(const std::string& path, SigningKey& key, std::string& error);

// Writes `key` to `path`, readable and writable by its owner only from the moment it exists,
// and its public key to `path`.pub. Refuses, and writes nothing, when either file exists.
bool WriteNewKeyPair(const std::string& path, const SigningKey& key, std::string& error);

} // namespace patchfile
