#include "PatchFileTrees.h"

#include "PredictedFuzzOld.h"

namespace patchfile::testing {

namespace {

// An insertion, a replacement, a removal and an appended tail.
std::string Edited(std::string bytes) {
    bytes.insert(500, "inserted in the middle");
    bytes.replace(6000, 700, RandomBytes(700, 99));
    bytes.erase(9000, 400);
    return bytes + "appended at the end";
}

std::string Text(const std::vector<uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

} // namespace

Tree FuzzOldTree() {
    return {{"data\\maps.pak", RandomBytes(12000, 1)},
            {"data\\sound.pak", RandomBytes(1500, 2)},
            {"readme.txt", "Quillmere 1.0\r\n"},
            {"unchanged.dat", RandomBytes(300, 3)},
            {"old\\removed.txt", "gone in the new version"},
            {"game.exe", Text(PredictedFuzzOld())}};
}

Tree FuzzNewTree() {
    Tree tree = FuzzOldTree();
    tree["data\\maps.pak"] = Edited(tree["data\\maps.pak"]);
    tree["data\\sound.pak"] = RandomBytes(1800, 4);
    tree["readme.txt"] = "Quillmere 1.1\r\n";
    tree["movies\\new\\intro.txt"] = "a new file in new folders";
    tree["empty.txt"] = "";
    tree["game.exe"] = Text(PredictedFuzzNew());
    tree.erase("old\\removed.txt");
    return tree;
}

} // namespace patchfile::testing
