#pragma once
#include "TestTree.h"

namespace patchfile::testing {

// The patch file target's game tree before and after: a changed large file, a changed small
// one, a changed text, an unchanged file, a removed file, a new file in new folders, a new
// empty file and an x86 program rebuilt with moved code (the pair of PredictedFuzzOld.h), a
// few kilobytes in all, so that each run copies, checks and rebuilds little. The fuzz build's
// small buffers (common/BuildSizes.h) still take the large file in many pieces.
Tree FuzzOldTree();
Tree FuzzNewTree();

} // namespace patchfile::testing
