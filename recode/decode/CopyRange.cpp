#include "CopyRange.h"

#include <algorithm>
#include <vector>

namespace recode {

Moved CopyRange(plumbing::Source& from, uint64_t offset, uint64_t length, plumbing::Sink& to,
                const plumbing::Tick& tick) {
    if (length == 0)
        return Moved::Ok;
    std::vector<uint8_t> buffer(static_cast<size_t>(std::min<uint64_t>(kChunk, length)));
    while (length > 0) {
        if (tick && !tick())
            return Moved::Stopped;
        size_t count = static_cast<size_t>(std::min<uint64_t>(buffer.size(), length));
        if (!from.Read(offset, buffer.data(), count))
            return Moved::ReadFailed;
        if (!to.Write(buffer.data(), count))
            return Moved::WriteRefused;
        offset += count;
        length -= count;
    }
    return Moved::Ok;
}

bool RecordCopy(Moved moved, const CopyBlame& blame, uint64_t at, Failure& failure) {
    switch (moved) {
    case Moved::Ok:
        return true;
    case Moved::ReadFailed:
        return failure.Set(blame.readFailed, blame.readDetail, at);
    case Moved::WriteRefused:
        return failure.Set(blame.writeRefused, blame.writeDetail, at);
    case Moved::Stopped:
        break;
    }
    return failure.Set(Error::Stopped, "", at);
}

} // namespace recode
