#include "ToolInputs.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace deflatestream::test {
namespace {

namespace fs = std::filesystem;

// Three inputs of the usual kinds: text, a program's bytes, and long runs.
class Inputs {
public:
    Inputs() {
        folder_ = fs::temp_directory_path() / ("deflate-tools-" + std::to_string(getpid()));
        fs::create_directories(folder_);
        Write("text.txt", TextLike(120000, 21));
        Write("program.bin", Repetitive(90000, 22));
        Bytes image = RandomBytes(40000, 23);
        image.resize(140000, 0);
        Write("image.raw", image);
    }
    ~Inputs() { fs::remove_all(folder_); }
    const fs::path& Folder() const { return folder_; }

private:
    void Write(const char* name, const Bytes& bytes) {
        std::ofstream(folder_ / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    fs::path folder_;
};

const Inputs& SharedInputs() {
    static const Inputs inputs;
    return inputs;
}

Bytes ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), {});
}

} // namespace

const fs::path& ToolInputsFolder() {
    return SharedInputs().Folder();
}

Bytes RunTool(const std::string& command) {
    const std::string line = "cd '" + ToolInputsFolder().string() + "' && rm -f out && " + command;
    if (std::system(line.c_str()) != 0) {
        return {};
    }
    return ReadFile(ToolInputsFolder() / "out");
}

} // namespace deflatestream::test
