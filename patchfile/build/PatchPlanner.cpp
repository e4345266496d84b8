#include "PatchPlanner.h"

#include "ChunkReader.h"
#include "EntryName.h"
#include "TreeScanner.h"

#include <algorithm>
#include <map>
#include <vector>

namespace patchfile {
namespace {

// Folded name -> spelling in the tree.
using NameMap = std::map<std::string, std::string>;

bool IndexTree(FileSystem& fs, const std::string& root, NameMap& names, std::string& error) {
    std::vector<std::string> scanned;
    if (!ScanTree(fs, root, scanned, error))
        return false;
    for (const std::string& name : scanned) {
        FormatError problem = CheckEntryName(name);
        if (problem != FormatError::None) {
            error = "cannot put " + name + " (in " + root +
                    ") in a patch file: " + DescribeFormatError(problem);
            return false;
        }
        if (!names.emplace(FoldEntryName(name), name).second) {
            error = "the names " + names[FoldEntryName(name)] + " and " + name + " in " + root +
                    " differ only in case; Windows cannot hold both";
            return false;
        }
    }
    return true;
}

bool SameContents(FileSystem& fs, const std::string& a, const std::string& b, bool& same,
                  std::string& error) {
    IoError io;
    std::unique_ptr<InputFile> fileA = fs.OpenRead(a, io);
    std::unique_ptr<InputFile> fileB = fileA ? fs.OpenRead(b, io) : nullptr;
    if (!fileA || !fileB) {
        error = "cannot open " + (fileA ? b : a) + ": " + DescribeIoError(io);
        return false;
    }
    same = fileA->Size() == fileB->Size();
    if (!same)
        return true;
    std::vector<uint8_t> other;
    uint64_t offset = 0;
    IoError ioB;
    auto compare = [&](const uint8_t* data, size_t length) {
        other.resize(length);
        if (!fileB->ReadAt(offset, other.data(), length, ioB))
            return false;
        offset += length;
        same = std::equal(data, data + length, other.data());
        return same;
    };
    ChunkResult read = ReadChunks(*fileA, 0, fileA->Size(), compare, io);
    if (read == ChunkResult::ReadFailed || ioB) {
        error = "cannot read " + (ioB ? b : a) + ": " + DescribeIoError(ioB ? ioB : io);
        return false;
    }
    return true;
}

// A name that is a file in one tree and a folder (a prefix of other names) in the other.
bool FolderInOtherTree(const NameMap& files, const NameMap& other, std::string& clash) {
    for (const auto& file : files) {
        auto next = other.lower_bound(file.first + "\\");
        if (next != other.end() &&
            next->first.compare(0, file.first.size() + 1, file.first + "\\") == 0) {
            clash = file.second;
            return true;
        }
    }
    return false;
}

} // namespace

bool PlanPatch(FileSystem& fs, const std::string& oldRoot, const std::string& newRoot,
               bool withDeletes, std::vector<PlannedEntry>& plan, std::string& error) {
    plan.clear();
    NameMap oldNames, newNames;
    if (!IndexTree(fs, oldRoot, oldNames, error) || !IndexTree(fs, newRoot, newNames, error))
        return false;
    std::string clash;
    if (FolderInOtherTree(newNames, oldNames, clash)) {
        error = clash + " is a folder in " + oldRoot + " but a file in " + newRoot +
                "; a patch cannot turn a folder into a file";
        return false;
    }
    if (!withDeletes && FolderInOtherTree(oldNames, newNames, clash)) {
        error = clash + " is a file in " + oldRoot + " but a folder in " + newRoot +
                "; the patch must delete it first (build it with deletes)";
        return false;
    }
    if (withDeletes) {
        for (const auto& old : oldNames) {
            if (newNames.count(old.first) == 0)
                plan.push_back({EntryKind::Delete, old.second, {}, {}});
        }
    }
    for (const auto& added : newNames) {
        std::string newPath = fs.Join(newRoot, added.second);
        auto old = oldNames.find(added.first);
        if (old == oldNames.end()) {
            plan.push_back({EntryKind::Add, added.second, {}, newPath});
            continue;
        }
        std::string oldPath = fs.Join(oldRoot, old->second);
        bool same = false;
        if (!SameContents(fs, oldPath, newPath, same, error))
            return false;
        if (!same)
            plan.push_back({EntryKind::Patch, added.second, oldPath, newPath});
    }
    return true;
}

} // namespace patchfile
