#pragma once
// The old file the block decoder's fuzz target gives a predicted payload, and the one its
// seeds were made against (BlockDiffPredictedSeeds.cpp): a small x86 program.
#include "SamplePrograms.h"

#include <cstdint>
#include <vector>

inline constexpr size_t kPredictedFuzzFunctions = 80;
inline constexpr uint32_t kPredictedFuzzSeed = 3;

inline const std::vector<uint8_t>& PredictedFuzzOld() {
    static const std::vector<uint8_t> old =
        x86image::test::MovedCodeProgram(kPredictedFuzzFunctions, 0, kPredictedFuzzSeed);
    return old;
}
