#pragma once
#include "PatchFormat.h"
#include "TestTree.h"

#include <utility>
#include <vector>

namespace patchfile::testing {

// An old and a new game tree with a changed large file, a changed small one, a changed text,
// an unchanged file, a removed file, a new file in new folders and a new empty file.
Tree OldTree();
Tree NewTree();
// A few edits of a large file: an insertion, a replacement, a removal and an appended tail.
std::string Edited(std::string bytes);

// The entries of a patch built from OldTree to NewTree with deletes, in the patch's order.
using EntryList = std::vector<std::pair<EntryKind, std::string>>;
EntryList SampleEntries();

// The files below `root` that are neither as OldTree nor as NewTree has them (temporary
// files included), and the files of both trees that are gone; empty when all is well.
std::string FilesNeitherOldNorNew(const std::filesystem::path& root);

} // namespace patchfile::testing
