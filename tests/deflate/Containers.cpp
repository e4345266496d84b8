#include "Containers.h"

#include <zlib.h>

namespace deflatestream::test {

namespace {

void Le(Bytes& out, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}

void Be32(Bytes& out, uint32_t value) {
    for (int i = 3; i >= 0; --i) {
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}

void Append(Bytes& out, const Bytes& more) {
    out.insert(out.end(), more.begin(), more.end());
}

void PngChunk(Bytes& png, const char* type, const Bytes& data) {
    Be32(png, static_cast<uint32_t>(data.size()));
    Bytes typed(type, type + 4);
    Append(typed, data);
    Append(png, typed);
    Be32(png, Crc32(typed));
}

} // namespace

uint32_t Crc32(const Bytes& bytes) {
    return static_cast<uint32_t>(crc32(0, bytes.data(), static_cast<uInt>(bytes.size())));
}

Made ZipLocalEntry(const ZipEntryRecipe& recipe) {
    const Bytes data = recipe.deflated ? ZlibStream(recipe.content, 6) : recipe.content;
    const bool later = recipe.descriptor != Descriptor::kNone;
    Made made;
    Bytes& out = made.bytes;
    Le(out, 0x04034b50, 4);
    Le(out, recipe.zip64 ? 45 : 20, 2);
    Le(out, later ? 8 : 0, 2);
    Le(out, recipe.deflated ? 8 : 0, 2);
    Le(out, 0x5a21, 4); // time and date
    Le(out, later ? 0 : Crc32(recipe.content), 4);
    // Sizes said later, or in the zip64 field, are 0 or all ones here.
    const bool here = !later && !recipe.zip64;
    Le(out, recipe.zip64 ? 0xffffffff : here ? data.size() : 0, 4);
    Le(out, recipe.zip64 ? 0xffffffff : here ? recipe.content.size() : 0, 4);
    Le(out, recipe.name.size(), 2);
    Le(out, recipe.zip64 ? 20 : 0, 2);
    out.insert(out.end(), recipe.name.begin(), recipe.name.end());
    if (recipe.zip64) {
        Le(out, 1, 2);
        Le(out, 16, 2);
        Le(out, recipe.content.size(), 8);
        Le(out, data.size(), 8);
    }
    made.deflateOffset = out.size();
    made.deflateLength = data.size();
    Append(out, data);
    if (later) {
        if (recipe.descriptor == Descriptor::kSigned) {
            Le(out, 0x08074b50, 4);
        }
        Le(out, Crc32(recipe.content), 4);
        Le(out, data.size(), recipe.zip64 ? 8 : 4);
        Le(out, recipe.content.size(), recipe.zip64 ? 8 : 4);
    }
    return made;
}

Made GzipWithHeader(const GzipRecipe& recipe) {
    Made made;
    Bytes& out = made.bytes;
    const uint8_t flags =
        static_cast<uint8_t>((recipe.headerCrc ? 2 : 0) | (recipe.extra.empty() ? 0 : 4) |
                             (recipe.name.empty() ? 0 : 8) | (recipe.comment.empty() ? 0 : 16));
    out = {0x1f, 0x8b, 8, flags, 0x10, 0x20, 0x30, 0x40, 2, 3};
    if (!recipe.extra.empty()) {
        Le(out, recipe.extra.size(), 2);
        Append(out, recipe.extra);
    }
    for (const std::string* text : {&recipe.name, &recipe.comment}) {
        if (!text->empty()) {
            out.insert(out.end(), text->begin(), text->end());
            out.push_back(0);
        }
    }
    if (recipe.headerCrc) {
        Le(out, Crc32(out) & 0xffff, 2);
    }
    const Bytes data = ZlibStream(recipe.content, 9);
    made.deflateOffset = out.size();
    made.deflateLength = data.size();
    Append(out, data);
    Le(out, Crc32(recipe.content), 4);
    Le(out, recipe.content.size(), 4);
    return made;
}

Made ZlibOf(const Bytes& content, int level) {
    Made made;
    made.bytes = ZlibWrapped(content, level);
    made.deflateOffset = 2;
    made.deflateLength = made.bytes.size() - 6;
    return made;
}

Made Png(size_t width, size_t height, size_t idatBytes) {
    Bytes rows;
    for (size_t y = 0; y < height; ++y) {
        rows.push_back(0); // no filter
        for (size_t x = 0; x < width; ++x) {
            rows.push_back(static_cast<uint8_t>((x * y) ^ (x + y)));
        }
    }
    const Bytes stream = ZlibWrapped(rows, 9);
    Made made;
    Bytes& png = made.bytes;
    png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    Bytes header;
    Be32(header, static_cast<uint32_t>(width));
    Be32(header, static_cast<uint32_t>(height));
    Append(header, {8, 0, 0, 0, 0}); // 8-bit gray, no interlace
    PngChunk(png, "IHDR", header);
    // The stream's third byte, its deflate stream's first, in the chunk that holds it.
    made.deflateOffset = png.size() + 2 / idatBytes * (12 + idatBytes) + 8 + 2 % idatBytes;
    made.deflateLength = stream.size() - 6;
    made.deflate.assign(stream.begin() + 2, stream.end() - 4);
    for (size_t at = 0; at < stream.size(); at += idatBytes) {
        const size_t piece = std::min(idatBytes, stream.size() - at);
        PngChunk(png, "IDAT", Bytes(stream.begin() + at, stream.begin() + at + piece));
    }
    PngChunk(png, "IEND", {});
    return made;
}

} // namespace deflatestream::test
