// Our decoder against deltas written by the xdelta3 program, and xdelta3 decoding ours.
// Native only; skipped when xdelta3 is not installed.
#include "Shapes.h"
#include "TestIo.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace vcdiff::test {
namespace {

namespace fs = std::filesystem;

bool HaveXdelta3() {
    return std::system("command -v xdelta3 >/dev/null 2>&1") == 0;
}

class TempDir {
public:
    TempDir() {
        static int counter = 0;
        path_ = fs::temp_directory_path() /
                ("vcdiff-interop-" + std::to_string(getpid()) + "-" + std::to_string(++counter));
        fs::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    std::string File(const char* name) const { return (path_ / name).string(); }

private:
    fs::path path_;
};

void WriteFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

int RunCommand(const std::string& command) {
    return std::system((command + " 2>&1").c_str());
}

struct Interop {
    std::string name;
    std::string shape;
    bool withSource;
};

const Shape& ShapeOf(const Interop& c) {
    return c.shape == "Large" ? LargeShape() : SmallShape(c.shape);
}

void PrintTo(const Interop& c, std::ostream* out) {
    *out << c.name;
}

std::vector<Interop> Cases() {
    std::vector<Interop> cases;
    for (const std::string& shape : SmallShapeNames()) {
        cases.push_back({shape + "WithSource", shape, true});
        cases.push_back({shape + "WithoutSource", shape, false});
    }
    cases.push_back({"LargeEditedWithSource", "Large", true});
    return cases;
}

class XdeltaEncodes : public ::testing::TestWithParam<Interop> {};

// Both compression levels, and small windows (many windows, the source matched in pieces).
TEST_P(XdeltaEncodes, OurDecoderRebuildsTheTarget) {
    if (!HaveXdelta3()) {
        GTEST_SKIP() << "xdelta3 is not installed";
    }
    const Interop& c = GetParam();
    const Shape& shape = ShapeOf(c);
    TempDir dir;
    WriteFile(dir.File("old"), shape.before);
    WriteFile(dir.File("new"), shape.after);
    for (const char* flags : {"", "-9", "-W 16384 -B 524288"}) {
        SCOPED_TRACE(flags);
        const std::string source = c.withSource ? " -s " + dir.File("old") : "";
        ASSERT_EQ(RunCommand("xdelta3 -e -f -S none -D " + std::string(flags) + source + " " +
                             dir.File("new") + " " + dir.File("delta")),
                  0);
        MemorySource old(shape.before);
        const Decoded result = Decode(ReadFile(dir.File("delta")), &old, 4093);
        ASSERT_EQ(result.error, Error::None) << result.message;
        EXPECT_TRUE(result.output == shape.after);
    }
}

class XdeltaDecodes : public ::testing::TestWithParam<Interop> {};

// With and without checksums, and small windows and segments, so that a delta holds many
// windows and the segment moves through the source.
TEST_P(XdeltaDecodes, OurDeltaRebuildsTheTarget) {
    if (!HaveXdelta3()) {
        GTEST_SKIP() << "xdelta3 is not installed";
    }
    const Interop& c = GetParam();
    const Shape& shape = ShapeOf(c);
    EncoderOptions small;
    small.targetWindow = 16384;
    small.maxSourceSegment = 65536;
    small.windowChecksum = false;
    for (const EncoderOptions& options : {EncoderOptions{}, small}) {
        SCOPED_TRACE(options.targetWindow);
        TempDir dir;
        WriteFile(dir.File("old"), shape.before);
        WriteFile(dir.File("delta"),
                  Encode(c.withSource ? &shape.before : nullptr, shape.after, options));
        const std::string source = c.withSource ? " -s " + dir.File("old") : "";
        ASSERT_EQ(RunCommand("xdelta3 -d -f -R" + source + " " + dir.File("delta") + " " +
                             dir.File("out")),
                  0);
        EXPECT_TRUE(ReadFile(dir.File("out")) == shape.after);
    }
}

std::string CaseName(const ::testing::TestParamInfo<Interop>& info) {
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(Shapes, XdeltaEncodes, ::testing::ValuesIn(Cases()), CaseName);
INSTANTIATE_TEST_SUITE_P(Shapes, XdeltaDecodes, ::testing::ValuesIn(Cases()), CaseName);

} // namespace
} // namespace vcdiff::test
