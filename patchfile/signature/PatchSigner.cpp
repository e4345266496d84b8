#include "PatchSigner.h"

#include "ChunkReader.h"
#include "PatchFormat.h"

#include <sodium.h>

namespace patchfile {

bool CopyAndSign(InputFile& in, OutputFile& out, const SigningKey& key, const plumbing::Tick& tick,
                 IoError& readError, IoError& writeError) {
    crypto_sign_ed25519ph_state state;
    crypto_sign_ed25519ph_init(&state);
    auto consume = [&](const uint8_t* data, size_t length) {
        crypto_sign_ed25519ph_update(&state, data, length);
        return out.Write(data, length, writeError) && (!tick || tick());
    };
    if (ReadChunks(in, 0, in.Size(), consume, readError) != ChunkResult::Done)
        return false;
    // libsodium's secret key is the seed followed by the public key.
    unsigned char secret[crypto_sign_ed25519_SECRETKEYBYTES];
    unsigned char publicKey[crypto_sign_ed25519_PUBLICKEYBYTES];
    crypto_sign_ed25519_seed_keypair(publicKey, secret, key.seed);
    unsigned char signature[kSignatureSize];
    crypto_sign_ed25519ph_final_create(&state, signature, nullptr, secret);
    sodium_memzero(secret, sizeof(secret));
    return out.Write(signature, sizeof(signature), writeError);
}

} // namespace patchfile
