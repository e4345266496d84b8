#pragma once
#include "FileSystem.h"
#include "FormatError.h"
#include "PatchFormat.h"

#include <cstdint>
#include <vector>

// The block a signed patch file (header flag kFlagSigned) ends with, after its last payload:
//   offset  0   4  magic "QSIG"
//           4   2  algorithm: 1, Ed25519ph (Ed25519 over the SHA-512 of the signed bytes)
//           6   2  reserved, 0
//           8  32  the signer's public key
//          40  64  the signature
// The signature covers every byte of the file before it: header, directory, payloads and the
// block's first 40 bytes. The block has no offset of its own: it is the file's last bytes,
// so moving it moves bytes the signature covers.
namespace patchfile {

constexpr uint8_t kSignatureMagic[4] = {'Q', 'S', 'I', 'G'};
constexpr uint16_t kSignatureEd25519ph = 1;
constexpr size_t kSignatureBlockHeadSize = 8 + kPublicKeySize;
constexpr size_t kSignatureBlockSize = kSignatureBlockHeadSize + kSignatureSize;

// The block's first bytes, written after the last payload; the signature follows them.
std::vector<uint8_t> EncodeSignatureBlockHead(const uint8_t (&publicKey)[kPublicKeySize]);

// How many leading bytes of a signed file of this size the signature covers. The caller has
// checked that the file holds a whole block.
inline uint64_t SignedLength(uint64_t fileSize) {
    return fileSize - kSignatureSize;
}

// Reads and checks the head of the block a signed file of `fileSize` bytes ends with: its
// magic, algorithm and reserved field. A file too short to hold the block after
// `earliestStart` (the end of what precedes it) is truncated. The io error is set when the
// file could not be read.
FormatError ReadSignatureBlockHead(InputFile& file, uint64_t fileSize, uint64_t earliestStart,
                                   SignatureInfo& info, IoError& io);

} // namespace patchfile
