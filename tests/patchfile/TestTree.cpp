#include "TestTree.h"

#include <atomic>
#include <fstream>
#include <random>
#include <stdexcept>

namespace fs = std::filesystem;

namespace patchfile::testing {

TempFolder::TempFolder() {
    static std::atomic<unsigned> counter{0};
    std::random_device device;
    for (int attempt = 0; attempt < 100; ++attempt) {
        path_ = fs::temp_directory_path() /
                ("patchfile-test-" + std::to_string(device()) + "-" + std::to_string(counter++));
        if (fs::create_directory(path_))
            return;
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    // Read-only files cannot be removed on Windows.
    for (auto& item : fs::recursive_directory_iterator(path_, ignored))
        fs::permissions(item.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
}

fs::path TempFolder::Sub(const std::string& name) const {
    return PathOf(path_, name);
}

fs::path PathOf(const fs::path& root, const std::string& name) {
    fs::path path = root;
    size_t start = 0;
    for (size_t i = 0; i <= name.size(); ++i) {
        if (i == name.size() || name[i] == '\\') {
            path /= name.substr(start, i - start);
            start = i + 1;
        }
    }
    return path;
}

void WriteFile(const fs::path& path, const std::string& contents) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path.string());
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteTree(const fs::path& root, const Tree& tree) {
    fs::create_directories(root);
    for (const auto& [name, contents] : tree)
        WriteFile(PathOf(root, name), contents);
}

Tree ReadTree(const fs::path& root) {
    Tree tree;
    for (auto& item : fs::recursive_directory_iterator(root)) {
        if (!item.is_regular_file())
            continue;
        std::string name;
        for (const auto& part : fs::relative(item.path(), root))
            name += (name.empty() ? "" : "\\") + part.string();
        tree[name] = ReadFile(item.path());
    }
    return tree;
}

void CopyTree(const fs::path& from, const fs::path& to) {
    // By hand: MinGW's recursive fs::copy refuses a destination folder that exists.
    fs::create_directories(to);
    for (auto& item : fs::recursive_directory_iterator(from)) {
        fs::path target = to / fs::relative(item.path(), from);
        if (item.is_directory())
            fs::create_directories(target);
        else
            WriteFile(target, ReadFile(item.path()));
    }
}

void MakeReadOnly(const fs::path& path) {
    fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
}

std::string RandomBytes(size_t size, uint32_t seed) {
    std::mt19937 generator(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = static_cast<char>(generator() & 0xFF);
    return bytes;
}

} // namespace patchfile::testing
