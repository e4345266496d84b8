#pragma once
// The old file the block decoder's fuzz target gives a predicted payload, and the one its
// seeds were made against (BlockDiffPredictedSeeds.cpp): a small x86 program. The patch file
// target's game tree holds it too, and its new version (PatchFileTrees.h).
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

// The same program rebuilt with code grown in its middle: every call across it moves.
inline const std::vector<uint8_t>& PredictedFuzzNew() {
    static const std::vector<uint8_t> moved =
        x86image::test::MovedCodeProgram(kPredictedFuzzFunctions, 11, kPredictedFuzzSeed);
    return moved;
}
