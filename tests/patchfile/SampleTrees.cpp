#include "SampleTrees.h"

namespace patchfile::testing {

std::string Edited(std::string bytes) {
    bytes.insert(1000, "inserted in the middle");
    bytes.replace(200000, 5000, RandomBytes(5000, 99));
    bytes.erase(50000, 3000);
    return bytes + "appended at the end";
}

Tree OldTree() {
    return {{"data\\maps.pak", RandomBytes(300000, 1)},
            {"data\\sound.pak", RandomBytes(5000, 2)},
            {"readme.txt", "Quillmere 1.0\r\n"},
            {"unchanged.dat", RandomBytes(1000, 3)},
            {"old\\removed.txt", "gone in the new version"}};
}

Tree NewTree() {
    Tree tree = OldTree();
    tree["data\\maps.pak"] = Edited(tree["data\\maps.pak"]);
    tree["data\\sound.pak"] = RandomBytes(6000, 4);
    tree["readme.txt"] = "Quillmere 1.1\r\n";
    tree["movies\\new\\intro.txt"] = "a new file in new folders";
    tree["empty.txt"] = "";
    tree.erase("old\\removed.txt");
    return tree;
}

EntryList SampleEntries() {
    return {{EntryKind::Delete, "old\\removed.txt"},    {EntryKind::Patch, "data\\maps.pak"},
            {EntryKind::Patch, "data\\sound.pak"},      {EntryKind::Add, "empty.txt"},
            {EntryKind::Add, "movies\\new\\intro.txt"}, {EntryKind::Patch, "readme.txt"}};
}

std::string FilesNeitherOldNorNew(const std::filesystem::path& root) {
    Tree old = OldTree(), updated = NewTree(), found = ReadTree(root);
    std::string problems;
    for (const auto& [name, contents] : found) {
        bool isOld = old.count(name) && old[name] == contents;
        bool isNew = updated.count(name) && updated[name] == contents;
        if (!isOld && !isNew)
            problems += name + " is neither old nor new; ";
    }
    for (const auto& [name, contents] : updated) {
        if (old.count(name) && !found.count(name))
            problems += name + " is gone; ";
    }
    return problems;
}

} // namespace patchfile::testing
