#pragma once
#include <filesystem>
#include <map>
#include <string>

namespace patchfile::testing {

// Relative name (backslashes) -> contents.
using Tree = std::map<std::string, std::string>;

// A folder of its own under the system's temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string str() const { return path_.string(); }
    std::filesystem::path Sub(const std::string& name) const;

private:
    std::filesystem::path path_;
};

std::filesystem::path PathOf(const std::filesystem::path& root, const std::string& name);
void WriteFile(const std::filesystem::path& path, const std::string& contents);
std::string ReadFile(const std::filesystem::path& path);
void WriteTree(const std::filesystem::path& root, const Tree& tree);
// Every file below root, temporary files included.
Tree ReadTree(const std::filesystem::path& root);
void CopyTree(const std::filesystem::path& from, const std::filesystem::path& to);
void MakeReadOnly(const std::filesystem::path& path);

// Deterministic bytes, so that a failing case can be repeated.
std::string RandomBytes(size_t size, uint32_t seed);

} // namespace patchfile::testing
