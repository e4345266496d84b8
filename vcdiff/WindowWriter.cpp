#include "WindowWriter.h"

#include "Varint.h"
#include "VcdiffFormat.h"

#include <vector>

namespace vcdiff {

namespace {

bool WriteAll(plumbing::Sink& sink, const std::vector<uint8_t>& bytes) {
    return bytes.empty() || sink.Write(bytes.data(), bytes.size());
}

std::vector<uint8_t> EncodingFields(const WindowLayout& layout, const InstructionEncoder& s) {
    std::vector<uint8_t> fields;
    plumbing::AppendVarint(fields, layout.targetLength);
    fields.push_back(0); // Delta_Indicator: no section is compressed
    plumbing::AppendVarint(fields, s.data().size());
    plumbing::AppendVarint(fields, s.instructions().size());
    plumbing::AppendVarint(fields, s.addresses().size());
    if (layout.hasChecksum) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            fields.push_back(static_cast<uint8_t>(layout.checksum >> shift));
        }
    }
    return fields;
}

} // namespace

bool WriteWindow(plumbing::Sink& sink, const WindowLayout& layout,
                 const InstructionEncoder& sections) {
    const std::vector<uint8_t> fields = EncodingFields(layout, sections);
    std::vector<uint8_t> header;
    uint8_t indicator = layout.hasChecksum ? format::kWindowAdler32 : 0;
    if (layout.hasSegment) {
        indicator |= format::kWindowSource;
    }
    header.push_back(indicator);
    if (layout.hasSegment) {
        plumbing::AppendVarint(header, layout.segment.length);
        plumbing::AppendVarint(header, layout.segment.position);
    }
    plumbing::AppendVarint(header, fields.size() + sections.data().size() +
                                       sections.instructions().size() +
                                       sections.addresses().size());
    header.insert(header.end(), fields.begin(), fields.end());
    return WriteAll(sink, header) && WriteAll(sink, sections.data()) &&
           WriteAll(sink, sections.instructions()) && WriteAll(sink, sections.addresses());
}

bool WriteFileHeader(plumbing::Sink& sink) {
    const std::vector<uint8_t> header = {format::kMagic[0], format::kMagic[1], format::kMagic[2],
                                         format::kVersion, 0};
    return WriteAll(sink, header);
}

} // namespace vcdiff
