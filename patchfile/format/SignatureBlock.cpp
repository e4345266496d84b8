#include "SignatureBlock.h"

#include "HeaderFields.h"

#include <cstring>

namespace patchfile {

std::vector<uint8_t> EncodeSignatureBlockHead(const uint8_t (&publicKey)[kPublicKeySize]) {
    std::vector<uint8_t> head(kSignatureMagic, kSignatureMagic + sizeof(kSignatureMagic));
    head.push_back(static_cast<uint8_t>(kSignatureEd25519ph));
    head.push_back(static_cast<uint8_t>(kSignatureEd25519ph >> 8));
    head.push_back(0);
    head.push_back(0);
    head.insert(head.end(), publicKey, publicKey + kPublicKeySize);
    return head;
}

FormatError ReadSignatureBlockHead(InputFile& file, uint64_t fileSize, uint64_t earliestStart,
                                   SignatureInfo& info, IoError& io) {
    info = SignatureInfo();
    if (fileSize < earliestStart || fileSize - earliestStart < kSignatureBlockSize)
        return FormatError::Truncated;
    uint8_t head[kSignatureBlockHeadSize] = {};
    if (!file.ReadAt(fileSize - kSignatureBlockSize, head, sizeof(head), io))
        return FormatError::None;
    if (std::memcmp(head, kSignatureMagic, sizeof(kSignatureMagic)) != 0 || Little16(head + 6) != 0)
        return FormatError::BadSignatureBlock;
    if (Little16(head + 4) != kSignatureEd25519ph)
        return FormatError::UnknownSignatureAlgorithm;
    info.present = true;
    std::memcpy(info.publicKey, head + 8, kPublicKeySize);
    return FormatError::None;
}

} // namespace patchfile
