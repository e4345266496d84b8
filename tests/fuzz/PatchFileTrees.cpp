#include "PatchFileTrees.h"

#include "PredictedFuzzOld.h"
#include "SampleTrees.h"

namespace patchfile::testing {

namespace {

// The sample trees at a few kilobytes.
constexpr TreeSizes kFuzzTreeSizes = {12000, 1500, 1800, 300, {500, 6000, 700, 9000, 400}};

std::string Text(const std::vector<uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

} // namespace

Tree FuzzOldTree() {
    Tree tree = OldTree(kFuzzTreeSizes);
    tree["game.exe"] = Text(PredictedFuzzOld());
    return tree;
}

Tree FuzzNewTree() {
    Tree tree = NewTree(kFuzzTreeSizes);
    tree["game.exe"] = Text(PredictedFuzzNew());
    return tree;
}

} // namespace patchfile::testing
