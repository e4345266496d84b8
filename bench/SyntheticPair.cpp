// bench_synthetic_pair: writes an old file of the given size and a new file that differs from
// it by small edits scattered through it (a few bytes changed, inserted or removed about once
// per MiB), so that memory and speed can be measured on a file far larger than any real one.
// The content is pseudo-random but reproducible from the seed: half of it incompressible,
// half from a small alphabet, as code and data sections of a program are.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr size_t kChunk = 1u << 20;
constexpr size_t kBlock = 4096;

class Random {
public:
    explicit Random(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
    uint64_t Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return state_;
    }
    size_t Below(size_t limit) { return static_cast<size_t>(Next() % limit); }

private:
    uint64_t state_;
};

void FillBlock(Random& random, uint8_t* out, size_t length) {
    bool lowEntropy = random.Below(2) == 0;
    for (size_t i = 0; i < length; ++i) {
        uint64_t value = random.Next();
        out[i] = lowEntropy ? static_cast<uint8_t>('a' + value % 16) : static_cast<uint8_t>(value);
    }
}

void FillChunk(Random& random, std::vector<uint8_t>& chunk) {
    for (size_t at = 0; at < chunk.size(); at += kBlock)
        FillBlock(random, chunk.data() + at, std::min(kBlock, chunk.size() - at));
}

// One chunk of the new file: the old chunk with up to two edits at random places.
void EditChunk(Random& random, const std::vector<uint8_t>& old, std::vector<uint8_t>& edited) {
    edited = old;
    size_t edits = random.Below(3);
    for (size_t i = 0; i < edits; ++i) {
        size_t length = 1 + random.Below(256);
        size_t at = random.Below(edited.size() > length ? edited.size() - length : 1);
        std::vector<uint8_t> fresh(length);
        FillBlock(random, fresh.data(), length);
        switch (random.Below(3)) {
        case 0:
            std::copy(fresh.begin(), fresh.end(), edited.begin() + static_cast<long>(at));
            break;
        case 1:
            edited.insert(edited.begin() + static_cast<long>(at), fresh.begin(), fresh.end());
            break;
        default:
            edited.erase(edited.begin() + static_cast<long>(at),
                         edited.begin() + static_cast<long>(std::min(at + length, edited.size())));
            break;
        }
    }
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

bool WriteAll(std::FILE* file, const std::vector<uint8_t>& bytes) {
    return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fputs("usage: bench_synthetic_pair SIZE_MIB SEED OLD_FILE NEW_FILE\n", stderr);
        return 1;
    }
    uint64_t chunks = std::strtoull(argv[1], nullptr, 10);
    Random content(std::strtoull(argv[2], nullptr, 10));
    Random edits(content.Next());
    File oldFile(std::fopen(argv[3], "wb"));
    File newFile(std::fopen(argv[4], "wb"));
    if (!oldFile || !newFile) {
        std::perror("bench_synthetic_pair: cannot create the output");
        return 2;
    }
    std::vector<uint8_t> chunk(kChunk);
    std::vector<uint8_t> edited;
    for (uint64_t i = 0; i < chunks; ++i) {
        FillChunk(content, chunk);
        EditChunk(edits, chunk, edited);
        if (!WriteAll(oldFile.get(), chunk) || !WriteAll(newFile.get(), edited)) {
            std::perror("bench_synthetic_pair: cannot write");
            return 2;
        }
    }
    if (std::fclose(oldFile.release()) != 0 || std::fclose(newFile.release()) != 0) {
        std::perror("bench_synthetic_pair: cannot write");
        return 2;
    }
    return 0;
}
