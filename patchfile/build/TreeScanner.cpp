#include "TreeScanner.h"

#include <algorithm>

namespace patchfile {
namespace {

bool ScanFolder(FileSystem& fs, const std::string& root, const std::string& prefix,
                std::vector<std::string>& names, std::string& error) {
    std::string folder = prefix.empty() ? root : fs.Join(root, prefix);
    std::vector<FolderItem> items;
    IoError io;
    if (!fs.List(folder, items, io)) {
        error = "cannot read the folder " + folder + ": " + DescribeIoError(io);
        return false;
    }
    for (const FolderItem& item : items) {
        // On Windows a backslash separates folders; in a POSIX name it would change meaning.
        if (item.name.find('\\') != std::string::npos) {
            error = "the name " + item.name + " in " + folder + " holds a backslash";
            return false;
        }
        std::string name = prefix.empty() ? item.name : prefix + "\\" + item.name;
        if (!item.isFolder)
            names.push_back(name);
        else if (!ScanFolder(fs, root, name, names, error))
            return false;
    }
    return true;
}

} // namespace

bool ScanTree(FileSystem& fs, const std::string& root, std::vector<std::string>& names,
              std::string& error) {
    names.clear();
    PathKind kind = PathKind::Missing;
    IoError io;
    if (!fs.Kind(root, kind, io)) {
        error = "cannot look at the folder " + root + ": " + DescribeIoError(io);
        return false;
    }
    if (kind != PathKind::Folder) {
        error = "the folder " + root + " was not found";
        return false;
    }
    if (!ScanFolder(fs, root, "", names, error))
        return false;
    std::sort(names.begin(), names.end());
    return true;
}

} // namespace patchfile
