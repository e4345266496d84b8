#include "SignatureVerifier.h"

#include "ChunkReader.h"
#include "HeaderFields.h"
#include "SignatureBlock.h"

#include <sodium.h>

#include <cstring>

// No sodium_init here: Ed25519 verification and SHA-512 are libsodium's portable code, which
// needs no choice of implementation at run time, and calling it would link every other
// primitive's implementations into the patch library.
namespace patchfile {
namespace {

SignatureCheck Refused(FormatError format) {
    SignatureCheck check;
    check.format = format;
    return check;
}

SignatureCheck ReadFailed(const IoError& io) {
    SignatureCheck check;
    check.io = io;
    return check;
}

// The magic and the flags: enough to tell a foreign file, an unsigned file and a signed one
// apart. Everything else is read once the signature has vouched for it.
FormatError CheckSignedHeader(const uint8_t* header, uint64_t fileSize) {
    FormatError magic = CheckMagic(header, fileSize);
    if (magic != FormatError::None)
        return magic;
    if (fileSize < kHeaderSize)
        return FormatError::Truncated;
    uint16_t flags = Little16(header + kFlagsOffset);
    if ((flags & ~kKnownFlags) != 0)
        return FormatError::BadFlags;
    return (flags & kFlagSigned) != 0 ? FormatError::None : FormatError::Unsigned;
}

} // namespace

SignatureCheck VerifyPatchSignature(InputFile& file, const PublicKey& trusted,
                                    const plumbing::Tick& tick) {
    uint64_t fileSize = file.Size();
    uint8_t header[kHeaderSize] = {};
    IoError io;
    size_t headerBytes = fileSize < kHeaderSize ? static_cast<size_t>(fileSize) : kHeaderSize;
    if (!file.ReadAt(0, header, headerBytes, io))
        return ReadFailed(io);
    FormatError error = CheckSignedHeader(header, fileSize);
    if (error != FormatError::None)
        return Refused(error);
    SignatureInfo info;
    error = ReadSignatureBlockHead(file, fileSize, kHeaderSize, info, io);
    if (io)
        return ReadFailed(io);
    if (error != FormatError::None)
        return Refused(error);
    if (std::memcmp(info.publicKey, trusted.bytes, kPublicKeySize) != 0)
        return Refused(FormatError::SignedByOtherKey);

    uint8_t signature[kSignatureSize] = {};
    uint64_t signedLength = SignedLength(fileSize);
    if (!file.ReadAt(signedLength, signature, sizeof(signature), io))
        return ReadFailed(io);
    crypto_sign_ed25519ph_state state;
    crypto_sign_ed25519ph_init(&state);
    auto consume = [&](const uint8_t* data, size_t length) {
        crypto_sign_ed25519ph_update(&state, data, length);
        return !tick || tick();
    };
    switch (ReadChunks(file, 0, signedLength, consume, io)) {
    case ChunkResult::Done:
        break;
    case ChunkResult::ReadFailed:
        return ReadFailed(io);
    case ChunkResult::Stopped: {
        SignatureCheck stopped;
        stopped.stopped = true;
        return stopped;
    }
    }
    if (crypto_sign_ed25519ph_final_verify(&state, signature, trusted.bytes) != 0)
        return Refused(FormatError::SignatureMismatch);
    return {};
}

} // namespace patchfile
