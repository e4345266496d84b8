#include "MemoryFileSystem.h"

#include "MemoryInputFile.h"

namespace patchfile::testing {
namespace {

IoError Error(IoError::Kind kind) {
    IoError error;
    error.kind = kind;
    return error;
}

class MemoryOutputFile : public OutputFile {
public:
    MemoryOutputFile(std::string& contents, size_t maxSize) : contents_(contents), max_(maxSize) {}

    bool Write(const void* data, size_t length, IoError& error) override {
        return WriteAt(contents_.size(), data, length, error);
    }
    bool WriteAt(uint64_t offset, const void* data, size_t length, IoError& error) override {
        if (offset > max_ || length > max_ - offset) {
            error = Error(IoError::Kind::DiskFull);
            return false;
        }
        size_t end = static_cast<size_t>(offset) + length;
        if (contents_.size() < end)
            contents_.resize(end);
        contents_.replace(static_cast<size_t>(offset), length, static_cast<const char*>(data),
                          length);
        return true;
    }
    bool Flush(IoError&) override { return true; }
    bool Close(IoError&) override { return true; }

private:
    std::string& contents_;
    size_t max_;
};

} // namespace

std::string MemoryFileSystem::Join(const std::string& folder,
                                   const std::string& relativeName) const {
    return folder + "\\" + relativeName;
}

bool MemoryFileSystem::Kind(const std::string& path, PathKind& kind, IoError&) {
    if (files_.count(path))
        kind = PathKind::File;
    else
        kind = folders_.count(path) ? PathKind::Folder : PathKind::Missing;
    return true;
}

bool MemoryFileSystem::ParentExists(const std::string& path) const {
    size_t slash = path.rfind('\\');
    return slash == std::string::npos || folders_.count(path.substr(0, slash)) != 0;
}

std::unique_ptr<InputFile> MemoryFileSystem::OpenRead(const std::string& path, IoError& error) {
    auto file = files_.find(path);
    if (file == files_.end()) {
        error = Error(folders_.count(path) ? IoError::Kind::IsFolder : IoError::Kind::NotFound);
        return nullptr;
    }
    return std::make_unique<MemoryInputFile>(
        std::vector<uint8_t>(file->second.begin(), file->second.end()));
}

std::unique_ptr<OutputFile> MemoryFileSystem::Create(const std::string& path, IoError& error) {
    if (folders_.count(path) || !ParentExists(path)) {
        error = Error(folders_.count(path) ? IoError::Kind::IsFolder : IoError::Kind::NotFound);
        return nullptr;
    }
    std::string& contents = files_[path];
    contents.clear();
    return std::make_unique<MemoryOutputFile>(contents, maxFileSize_);
}

std::unique_ptr<OutputFile> MemoryFileSystem::CreateNew(const std::string& path, IoError& error) {
    if (files_.count(path) || folders_.count(path)) {
        error = Error(IoError::Kind::Exists);
        return nullptr;
    }
    return Create(path, error);
}

bool MemoryFileSystem::Replace(const std::string& from, const std::string& to, IoError& error) {
    auto file = files_.find(from);
    if (file == files_.end() || folders_.count(to)) {
        error = Error(file == files_.end() ? IoError::Kind::NotFound : IoError::Kind::IsFolder);
        return false;
    }
    std::string contents = std::move(file->second);
    files_.erase(file);
    files_[to] = std::move(contents);
    return true;
}

bool MemoryFileSystem::RemoveFile(const std::string& path, IoError& error) {
    if (folders_.count(path)) {
        error = Error(IoError::Kind::IsFolder);
        return false;
    }
    files_.erase(path);
    return true;
}

void MemoryFileSystem::RemoveFolderIfEmpty(const std::string& path) {
    std::string prefix = path + "\\";
    auto file = files_.lower_bound(prefix);
    auto folder = folders_.lower_bound(prefix);
    bool hasFile = file != files_.end() && file->first.compare(0, prefix.size(), prefix) == 0;
    bool hasFolder = folder != folders_.end() && folder->compare(0, prefix.size(), prefix) == 0;
    if (!hasFile && !hasFolder)
        folders_.erase(path);
}

bool MemoryFileSystem::CreateFolder(const std::string& path, IoError& error) {
    if (files_.count(path) || !ParentExists(path)) {
        error = Error(files_.count(path) ? IoError::Kind::Other : IoError::Kind::NotFound);
        return false;
    }
    folders_.insert(path);
    return true;
}

bool MemoryFileSystem::List(const std::string& folder, std::vector<FolderItem>& items,
                            IoError& error) {
    if (!folders_.count(folder)) {
        error = Error(IoError::Kind::NotFound);
        return false;
    }
    items.clear();
    std::string prefix = folder + "\\";
    auto direct = [&prefix](const std::string& path) {
        return path.compare(0, prefix.size(), prefix) == 0 &&
               path.find('\\', prefix.size()) == std::string::npos;
    };
    for (const auto& file : files_) {
        if (direct(file.first))
            items.push_back({file.first.substr(prefix.size()), false});
    }
    for (const std::string& sub : folders_) {
        if (direct(sub))
            items.push_back({sub.substr(prefix.size()), true});
    }
    return true;
}

} // namespace patchfile::testing
