#pragma once
#include "FileSystem.h"

#include <map>
#include <set>
#include <string>

namespace patchfile::testing {

// Files and folders in memory, with backslashes between components, for the fuzz target:
// quick, and it can tell whether anything was written outside a given folder. Every file is
// limited in size (a full disk beyond it), so hostile input cannot take all memory.
class MemoryFileSystem : public FileSystem {
public:
    explicit MemoryFileSystem(size_t maxFileSize) : maxFileSize_(maxFileSize) {}

    void AddFolder(const std::string& path) { folders_.insert(path); }
    void AddFile(const std::string& path, std::string contents) { files_[path] = contents; }
    const std::map<std::string, std::string>& files() const { return files_; }
    const std::set<std::string>& folders() const { return folders_; }

    std::string Join(const std::string& folder, const std::string& relativeName) const override;
    bool Kind(const std::string& path, PathKind& kind, IoError& error) override;
    std::unique_ptr<InputFile> OpenRead(const std::string& path, IoError& error) override;
    std::unique_ptr<OutputFile> Create(const std::string& path, IoError& error) override;
    std::unique_ptr<OutputFile> CreateNew(const std::string& path, IoError& error) override;
    bool Replace(const std::string& from, const std::string& to, IoError& error) override;
    bool RemoveFile(const std::string& path, IoError& error) override;
    void RemoveFolderIfEmpty(const std::string& path) override;
    bool CreateFolder(const std::string& path, IoError& error) override;
    bool List(const std::string& folder, std::vector<FolderItem>& items, IoError& error) override;

private:
    bool ParentExists(const std::string& path) const;

    size_t maxFileSize_;
    std::map<std::string, std::string> files_;
    std::set<std::string> folders_;
};

} // namespace patchfile::testing
