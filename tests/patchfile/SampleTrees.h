#pragma once
#include "PatchFormat.h"
#include "TestTree.h"

#include <cstddef>
#include <utility>
#include <vector>

namespace patchfile::testing {

// Where Edited changes a file, so that a smaller file can take the same kinds of edit.
struct EditPlaces {
    size_t insertAt;
    size_t replaceAt;
    size_t replaceLength;
    size_t eraseAt;
    size_t eraseLength;
};
inline constexpr EditPlaces kLargeFileEdits = {1000, 200000, 5000, 50000, 3000};

// A few edits of a large file: an insertion, a replacement, a removal and an appended tail.
std::string Edited(std::string bytes, const EditPlaces& places = kLargeFileEdits);

// The sizes of the sample trees' random files and the edits of their large file.
struct TreeSizes {
    size_t largeFile;
    size_t smallFileOld;
    size_t smallFileNew;
    size_t unchangedFile;
    EditPlaces largeFileEdits;
};
inline constexpr TreeSizes kSampleTreeSizes = {300000, 5000, 6000, 1000, kLargeFileEdits};

// An old and a new game tree with a changed large file, a changed small one, a changed text,
// an unchanged file, a removed file, a new file in new folders and a new empty file.
Tree OldTree(const TreeSizes& sizes = kSampleTreeSizes);
Tree NewTree(const TreeSizes& sizes = kSampleTreeSizes);

// The entries of a patch built from OldTree to NewTree with deletes, in the patch's order.
using EntryList = std::vector<std::pair<EntryKind, std::string>>;
EntryList SampleEntries();

// The files below `root` that are neither as OldTree nor as NewTree has them (temporary
// files included), and the files of both trees that are gone; empty when all is well.
std::string FilesNeitherOldNorNew(const std::filesystem::path& root);

} // namespace patchfile::testing
