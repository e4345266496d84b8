#include "StreamTables.h"

namespace recode {
namespace {

uint64_t Expanded(uint64_t size, const StreamPlace& place) {
    return size - place.deflateBytes + place.contentBytes;
}

} // namespace

uint64_t ExpandedSize(uint64_t fileSize, const std::vector<StreamPlace>& streams) {
    for (const StreamPlace& place : streams)
        fileSize = Expanded(fileSize, place);
    return fileSize;
}

uint64_t ExpandedSize(uint64_t fileSize, const std::vector<NewStream>& streams) {
    for (const NewStream& stream : streams)
        fileSize = Expanded(fileSize, stream.place);
    return fileSize;
}

bool ValidZlibSettings(const ZlibSettings& settings) {
    return settings.level <= 9 && settings.memLevel >= 1 && settings.memLevel <= 9 &&
           settings.windowBits >= 9 && settings.windowBits <= 15 && settings.strategy <= 4;
}

} // namespace recode
