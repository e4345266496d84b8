// Writes the recoded decoder target's seeds: small old files and payloads of every way a
// stream is rebuilt (a copy, zlib settings, a parse) and a PNG image of several pieces, in
// the target's input layout. Usage: recoded_seeds FOLDER
#include "Containers.h"
#include "RecodeEncoder.h"

#include <fstream>
#include <string>

namespace {

using Bytes = std::vector<uint8_t>;
namespace ds = deflatestream::test;

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

bool Write(const std::string& path, const Bytes& oldFile, const Bytes& newFile) {
    Bytes payload;
    blockdiff::Failure failure;
    recode::RecodeOptions options;
    options.blocks.threads = 1;
    if (oldFile.size() > 0xffff || newFile.size() > 0xffff ||
        recode::EncodeRecoded(oldFile, newFile, payload, options, nullptr, nullptr, failure) !=
            recode::Encoded::Ok)
        return false;
    Bytes input = {static_cast<uint8_t>(oldFile.size()), static_cast<uint8_t>(oldFile.size() >> 8),
                   static_cast<uint8_t>(newFile.size()), static_cast<uint8_t>(newFile.size() >> 8)};
    input.insert(input.end(), oldFile.begin(), oldFile.end());
    input.insert(input.end(), payload.begin(), payload.end());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(input.data()),
               static_cast<std::streamsize>(input.size()));
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    const std::string folder = argv[1];
    Bytes text = ds::TextLike(6000, 1), changed = text;
    changed[3000] ^= 1;
    Bytes kept = ds::GzipMember(ds::TextLike(2000, 2), 9);
    bool ok =
        Write(folder + "/zlib-and-copy", Join({kept, ds::ZlibWrapped(text, 6)}),
              Join({kept, ds::ZlibWrapped(changed, 6)})) &&
        Write(folder + "/png-pieces", ds::Png(40, 30, 200).bytes, ds::Png(40, 34, 150).bytes) &&
        Write(folder + "/old-only", ds::ZlibWrapped(text, 9), changed);
    return ok ? 0 : 1;
}
