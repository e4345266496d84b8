// Every coder gives back every sample exactly, and the compressors compress.
#include "Samples.h"

#include <gtest/gtest.h>

#include <tuple>

namespace coders::test {
namespace {

class RoundTrip : public ::testing::TestWithParam<std::tuple<Coder, std::string>> {};

TEST_P(RoundTrip, DecodesToTheInput) {
    const auto& [coder, name] = GetParam();
    const Bytes& input = Sample(name);
    Bytes output;
    ASSERT_EQ(DecodeInto(coder, EncodedSample(coder, name), input.size(), output),
              DecodeResult::Ok);
    EXPECT_TRUE(output == input);
}

INSTANTIATE_TEST_SUITE_P(AllCoders, RoundTrip,
                         ::testing::Combine(::testing::ValuesIn(kAllCoders),
                                            ::testing::ValuesIn(SampleNames())),
                         [](const auto& info) {
                             return std::string(CoderName(std::get<0>(info.param))) + "_" +
                                    std::get<1>(info.param);
                         });

class Compressor : public ::testing::TestWithParam<Coder> {};

// Compressible samples come out at most half their size.
TEST_P(Compressor, ShrinksCompressibleSamples) {
    for (const char* name : {"Zeros", "TextLike", "Large"}) {
        EXPECT_LT(EncodedSample(GetParam(), name).size(), Sample(name).size() / 2) << name;
    }
}

// Random bytes grow by no more than the container's few bytes per block.
TEST_P(Compressor, BarelyGrowsRandomBytes) {
    const size_t size = Sample("Random").size();
    EXPECT_LT(EncodedSample(GetParam(), "Random").size(), size + size / 100 + 64);
}

INSTANTIATE_TEST_SUITE_P(Compressing, Compressor, ::testing::ValuesIn(kCompressingCoders),
                         [](const auto& info) { return std::string(CoderName(info.param)); });

} // namespace
} // namespace coders::test
