#include "SampleTrees.h"

namespace patchfile::testing {

std::string Edited(std::string bytes, const EditPlaces& places) {
    bytes.insert(places.insertAt, "inserted in the middle");
    bytes.replace(places.replaceAt, places.replaceLength, RandomBytes(places.replaceLength, 99));
    bytes.erase(places.eraseAt, places.eraseLength);
    return bytes + "appended at the end";
}

Tree OldTree(const TreeSizes& sizes) {
    return {{"data\\maps.pak", RandomBytes(sizes.largeFile, 1)},
            {"data\\sound.pak", RandomBytes(sizes.smallFileOld, 2)},
            {"readme.txt", "Quillmere 1.0\r\n"},
            {"unchanged.dat", RandomBytes(sizes.unchangedFile, 3)},
            {"old\\removed.txt", "gone in the new version"}};
}

Tree NewTree(const TreeSizes& sizes) {
    Tree tree = OldTree(sizes);
    tree["data\\maps.pak"] = Edited(tree["data\\maps.pak"], sizes.largeFileEdits);
    tree["data\\sound.pak"] = RandomBytes(sizes.smallFileNew, 4);
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
