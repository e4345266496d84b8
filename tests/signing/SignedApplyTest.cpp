// A library that trusts a key applies what that key signed and nothing else: every refusal
// comes before any file of the game is touched.
#include "PatchAssembler.h"
#include "SignatureBlock.h"
#include "SignedPatches.h"

#include <gtest/gtest.h>

namespace patchfile {
namespace {

using testing::ApplySample;
using testing::GameFiles;
using testing::GameWithPatch;
using testing::MemoryFileSystem;

using Bytes = std::vector<uint8_t>;

const SigningKey& PublisherKey() {
    static const SigningKey key = testing::TestKey(1);
    return key;
}

const SigningKey& OtherKey() {
    static const SigningKey key = testing::TestKey(3);
    return key;
}

const Bytes& SignedPatch() {
    static const Bytes patch = testing::BuildSamplePatch(&PublisherKey());
    return patch;
}

const Bytes& UnsignedPatch() {
    static const Bytes patch = testing::BuildSamplePatch(nullptr);
    return patch;
}

// The outcome of applying `patch` through a library trusting the publisher's key (or none),
// with the check that a refused file left the game as it was.
ApplyStatus ApplyAndCheck(const Bytes& patch, bool trustPublisher) {
    MemoryFileSystem fs = GameWithPatch(patch);
    ApplyStatus status = ApplySample(fs, trustPublisher ? &PublisherKey().publicKey : nullptr);
    testing::Tree expected = status.ok() ? testing::NewGame() : testing::OldGame();
    EXPECT_EQ(GameFiles(fs), expected);
    return status;
}

TEST(SignedPatch, AppliesThroughTheLibraryThatTrustsItsKey) {
    ApplyStatus status = ApplyAndCheck(SignedPatch(), true);
    EXPECT_TRUE(status.ok()) << status.text();
}

// Without a key there is nothing to check a signature against: a signed file applies as an
// unsigned one does.
TEST(SignedPatch, AppliesThroughALibraryWithoutKey) {
    ApplyStatus status = ApplyAndCheck(SignedPatch(), false);
    EXPECT_TRUE(status.ok()) << status.text();
}

TEST(SignedPatch, OnlyAddsTheFlagAndTheBlockToTheUnsignedFile) {
    const Bytes& signedPatch = SignedPatch();
    const Bytes& unsignedPatch = UnsignedPatch();
    ASSERT_EQ(signedPatch.size(), unsignedPatch.size() + kSignatureBlockSize);
    EXPECT_EQ(testing::GetLittle(signedPatch, kFlagsOffset, 2), kFlagSigned);
    EXPECT_EQ(testing::GetLittle(unsignedPatch, kFlagsOffset, 2), 0u);
    // The directory's checksum covers the flag; the rest is the same.
    size_t directoryEnd = kHeaderSize + testing::GetLittle(unsignedPatch, 12, 4);
    EXPECT_TRUE(std::equal(unsignedPatch.begin() + directoryEnd, unsignedPatch.end(),
                           signedPatch.begin() + directoryEnd));
}

// Every byte of a signed file is covered: changed anywhere, in the header, the directory, a
// payload or the signature block, the file is refused as damaged (event 14) and the game
// stays as it was. Two changes per position: the lowest and the highest bit.
TEST(SignedPatch, RefusesEveryChangedByte) {
    const Bytes& patch = SignedPatch();
    for (size_t position = 0; position < patch.size(); ++position) {
        for (uint8_t bit : {0x01, 0x80}) {
            Bytes changed = patch;
            changed[position] ^= bit;
            ApplyStatus status = ApplyAndCheck(changed, true);
            ASSERT_EQ(status.outcome(), Outcome::Damaged)
                << "byte " << position << " of " << patch.size() << " xor " << int(bit);
        }
    }
}

Bytes Truncated(Bytes patch, size_t bytes) {
    patch.resize(patch.size() - bytes);
    return patch;
}

// The signature block moved to before the last payload.
Bytes BlockMoved(const Bytes& patch) {
    Bytes block(patch.end() - kSignatureBlockSize, patch.end());
    Bytes moved(patch.begin(), patch.end() - kSignatureBlockSize);
    moved.insert(moved.end() - 20, block.begin(), block.end());
    return moved;
}

// The signature of another file, signed with the publisher's key too: one whose last
// payload differs by one byte.
Bytes SignatureOfAnother(const Bytes& patch) {
    Bytes body(patch.begin(), patch.end() - kSignatureSize);
    body[body.size() - kSignatureBlockHeadSize - 1] ^= 0x10;
    Bytes other = testing::SignBody(body, PublisherKey());
    Bytes swapped = patch;
    std::copy(other.end() - kSignatureSize, other.end(), swapped.end() - kSignatureSize);
    return swapped;
}

Bytes AlgorithmChanged(Bytes patch) {
    testing::PutLittle(patch, patch.size() - kSignatureBlockSize + 4, 2, 2);
    return patch;
}

// The flag cleared (with the directory checksum made right again): a file that no longer
// says it is signed, its block left as trailing bytes.
Bytes FlagCleared(Bytes patch) {
    testing::PutLittle(patch, kFlagsOffset, 0, 2);
    testing::RefreshChecksum(patch);
    return patch;
}

// The block stripped and the flag cleared: what an unsigned file looks like.
Bytes Stripped(const Bytes& patch) {
    return FlagCleared(Truncated(patch, kSignatureBlockSize));
}

// The block's key replaced by another's, the signature left.
Bytes KeyReplaced(Bytes patch) {
    const SigningKey other = testing::TestKey(2);
    std::copy(std::begin(other.publicKey.bytes), std::end(other.publicKey.bytes),
              patch.end() - kSignatureBlockSize + 8);
    return patch;
}

struct RefusedCase {
    const char* name;
    Bytes (*make)();
    FormatError withKey;    // from a library that trusts the publisher's key
    FormatError withoutKey; // from one that trusts none (None: applies)
};

std::vector<RefusedCase> RefusedCases() {
    return {
        {"Unsigned", [] { return UnsignedPatch(); }, FormatError::Unsigned, FormatError::None},
        {"SignedByAnotherKey", [] { return testing::BuildSamplePatch(&OtherKey()); },
         FormatError::SignedByOtherKey, FormatError::None},
        {"KeyInBlockReplaced", [] { return KeyReplaced(SignedPatch()); },
         FormatError::SignedByOtherKey, FormatError::None},
        {"SignatureShortByOneByte", [] { return Truncated(SignedPatch(), 1); },
         FormatError::BadSignatureBlock, FormatError::BadSignatureBlock},
        {"SignatureMissing", [] { return Truncated(SignedPatch(), kSignatureSize); },
         FormatError::BadSignatureBlock, FormatError::BadSignatureBlock},
        // Without a key the payloads are placed first: they no longer fit before a block.
        {"BlockMissing", [] { return Truncated(SignedPatch(), kSignatureBlockSize); },
         FormatError::BadSignatureBlock, FormatError::Truncated},
        {"BlockMoved", [] { return BlockMoved(SignedPatch()); }, FormatError::BadSignatureBlock,
         FormatError::BadSignatureBlock},
        {"UnknownAlgorithm", [] { return AlgorithmChanged(SignedPatch()); },
         FormatError::UnknownSignatureAlgorithm, FormatError::UnknownSignatureAlgorithm},
        {"SignatureOfAnotherFile", [] { return SignatureOfAnother(SignedPatch()); },
         FormatError::SignatureMismatch, FormatError::None},
        {"FlagCleared", [] { return FlagCleared(SignedPatch()); }, FormatError::Unsigned,
         FormatError::TrailingData},
        {"BlockStrippedAndFlagCleared", [] { return Stripped(SignedPatch()); },
         FormatError::Unsigned, FormatError::None},
    };
}

class SignedPatchRefused : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(SignedPatchRefused, ByTheLibraryThatTrustsTheKey) {
    ApplyStatus status = ApplyAndCheck(GetParam().make(), true);
    EXPECT_EQ(status.outcome(), Outcome::Damaged) << status.text();
    EXPECT_EQ(status.format(), GetParam().withKey) << status.text();
}

TEST_P(SignedPatchRefused, OrAsPlainDamageWithoutKey) {
    ApplyStatus status = ApplyAndCheck(GetParam().make(), false);
    EXPECT_EQ(status.format(), GetParam().withoutKey) << status.text();
    EXPECT_EQ(status.ok(), GetParam().withoutKey == FormatError::None) << status.text();
}

INSTANTIATE_TEST_SUITE_P(Table, SignedPatchRefused, ::testing::ValuesIn(RefusedCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// What a reader from before signatures does with a signed file: it knows no header flag and
// refuses every one, as this reader refuses a flag it does not know. The file is refused
// as damaged (event 14) before anything is changed, never half applied.
TEST(SignedPatch, AReaderThatKnowsNoSuchFlagRefusesTheFile) {
    Bytes patch = SignedPatch();
    testing::PutLittle(patch, kFlagsOffset, 0x0002, 2);
    testing::RefreshChecksum(patch);
    ApplyStatus status = ApplyAndCheck(patch, false);
    EXPECT_EQ(status.format(), FormatError::BadFlags) << status.text();
}

} // namespace
} // namespace patchfile
