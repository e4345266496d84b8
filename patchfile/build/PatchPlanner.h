#pragma once
#include "FileSystem.h"
#include "PatchFormat.h"

#include <string>
#include <vector>

namespace patchfile {

struct PlannedEntry {
    EntryKind kind;
    std::string name;    // as it will stand in the patch file (the new tree's spelling)
    std::string oldPath; // patch: the old file
    std::string newPath; // patch, add: the new file
};

// Compares the old tree (the files as installed from the CD) with the new one: a file in
// both that differs becomes a patch entry, a file only in the new tree an add entry, and,
// when `withDeletes` is set, a file only in the old tree a delete entry. Deletes come first,
// so that a file may give way to a folder of the same name. Names are matched as Windows
// matches them (letters in any case) and must be valid entry names. False with a message
// on unreadable folders or files, names a patch file cannot hold, or a file that is a
// folder in the other tree.
bool PlanPatch(FileSystem& fs, const std::string& oldRoot, const std::string& newRoot,
               bool withDeletes, std::vector<PlannedEntry>& plan, std::string& error);

} // namespace patchfile
