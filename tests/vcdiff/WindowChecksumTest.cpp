// The per-window Adler-32 is summed piece by piece as the window is passed on; windows whose
// size falls on either side of a piece boundary must still be checked over every byte.
#include "Adler32.h"
#include "DeltaBuilder.h"
#include "TestIo.h"

#include <gtest/gtest.h>

namespace vcdiff::test {
namespace {

struct ChecksumCase {
    const char* name;
    size_t targetSize;
};

class WindowChecksum : public ::testing::TestWithParam<ChecksumCase> {};

// A source-less window of random bytes followed by a run, so both kinds of instruction
// fill pieces.
DeltaSpec OneWindow(const Bytes& target, size_t added) {
    WindowSpec window;
    window.indicator = 0x04;
    window.targetLength = Int(target.size());
    window.checksum = Adler32(kAdler32Initial, target.data(), target.size());
    window.program.Add(Bytes(target.begin(), target.begin() + added));
    if (added < target.size())
        window.program.Run(target.size() - added, target.back());
    DeltaSpec delta;
    delta.windows = {window};
    return delta;
}

Bytes Target(size_t size, size_t added) {
    Bytes target = Random(size).Fill(added);
    target.resize(size, 0x5A);
    return target;
}

TEST_P(WindowChecksum, MatchingChecksumDecodes) {
    const size_t size = GetParam().targetSize;
    const size_t added = size - size / 3;
    const Bytes target = Target(size, added);
    const Decoded result = Decode(OneWindow(target, added).Serialize(), nullptr);
    ASSERT_EQ(result.error, Error::None) << result.message;
    EXPECT_TRUE(result.output == target);
}

TEST_P(WindowChecksum, WrongChecksumIsRefusedBeforeTheLastPiece) {
    const size_t size = GetParam().targetSize;
    const size_t added = size - size / 3;
    const Bytes target = Target(size, added);
    DeltaSpec delta = OneWindow(target, added);
    delta.windows[0].checksum ^= 0x00010000;
    const Decoded result = Decode(delta.Serialize(), nullptr);
    EXPECT_EQ(result.error, Error::ChecksumMismatch) << result.message;
    EXPECT_LT(result.output.size(), size);
}

// A damaged byte early in a window spanning several pieces is caught although the pieces
// holding it have already been passed on.
TEST(WindowChecksumSpan, DamageInAnEarlyPieceIsCaught) {
    const size_t size = 3 * kMaxDecoderWrite + 7;
    const Bytes target = Target(size, size);
    DeltaSpec delta = OneWindow(target, size);
    delta.windows[0].program.data[10] ^= 0x01;
    const Decoded result = Decode(delta.Serialize(), nullptr);
    EXPECT_EQ(result.error, Error::ChecksumMismatch) << result.message;
}

INSTANTIATE_TEST_SUITE_P(AroundPieceBoundaries, WindowChecksum,
                         ::testing::Values(ChecksumCase{"OneByte", 1},
                                           ChecksumCase{"JustUnderAPiece", kMaxDecoderWrite - 1},
                                           ChecksumCase{"OnePiece", kMaxDecoderWrite},
                                           ChecksumCase{"JustOverAPiece", kMaxDecoderWrite + 1},
                                           ChecksumCase{"SeveralPieces", 3 * kMaxDecoderWrite + 7}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace vcdiff::test
