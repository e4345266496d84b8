#include "StreamPlan.h"

#include "MemorySource.h"
#include "NewRebuilder.h"
#include "OldExpander.h"
#include "Parser.h"
#include "Scratch.h"
#include "StreamFinder.h"
#include "Writer.h"
#include "ZlibParameters.h"
#include "ZlibRebuild.h"

#include <cstring>
#include <map>
#include <utility>

namespace recode {
namespace {

using deflatestream::FoundStream;
using Bytes = std::vector<uint8_t>;

void AddPieces(const FoundStream& found, FileStreams& file, StreamPlace& place) {
    place.firstPiece = static_cast<uint32_t>(file.pieces.size());
    if (found.pieces.empty()) {
        file.pieces.push_back({found.deflateOffset, found.deflateLength});
    } else {
        for (const deflatestream::FilePiece& piece : found.pieces) {
            if (piece.length > 0)
                file.pieces.push_back({piece.offset, piece.length});
        }
    }
    place.pieceCount = static_cast<uint32_t>(file.pieces.size() - place.firstPiece);
    place.deflateBytes = found.deflateLength;
    place.contentBytes = found.contentBytes;
}

// The file expanded as the decoder sees it, from each stream's content.
void Expand(const Bytes& file, const FileStreams& streams, const std::vector<Bytes>& contents,
            const std::vector<StreamPlace>& places, Bytes& out) {
    uint64_t at = 0;
    for (size_t i = 0; i < places.size(); ++i) {
        const Piece* pieces = streams.pieces.data() + places[i].firstPiece;
        out.insert(out.end(), file.begin() + at, file.begin() + pieces[0].offset);
        out.insert(out.end(), contents[i].begin(), contents[i].end());
        for (uint32_t p = 1; p < places[i].pieceCount; ++p)
            out.insert(out.end(), file.begin() + pieces[p - 1].offset + pieces[p - 1].length,
                       file.begin() + pieces[p].offset);
        at = pieces[places[i].pieceCount - 1].offset + pieces[places[i].pieceCount - 1].length;
    }
    out.insert(out.end(), file.begin() + at, file.end());
}

bool SameBytes(const Bytes& a, const Bytes& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size()) == 0;
}

bool ZlibGivesIt(const ZlibSettings& settings, const Bytes& content, const Bytes& stream) {
    deflatestream::MemoryInput input(content.data(), content.size());
    Bytes rebuilt;
    deflatestream::MemoryOutput output(rebuilt);
    std::string why;
    return DeflateWithZlib(settings, input, output, why) && SameBytes(rebuilt, stream);
}

bool ParseGivesIt(const Bytes& serialized, const Bytes& content, const Bytes& stream) {
    deflatestream::DeflateParse parse;
    Bytes rebuilt;
    std::string why;
    return deflatestream::DeserializeParse(serialized.data(), serialized.size(), parse) &&
           deflatestream::WriteDeflate(parse, content.data(), content.size(), rebuilt, why) &&
           SameBytes(rebuilt, stream);
}

class Planner {
public:
    Planner(const Bytes& oldFile, const Bytes& newFile, const PlanLimits& limits, StreamPlan& plan)
        : old_(oldFile), new_(newFile), limits_(limits), plan_(plan) {}

    bool Run();

private:
    void ListOld(const std::vector<FoundStream>& found);
    void ListNew(const std::vector<FoundStream>& found);
    bool Describe(const FoundStream& found, const Bytes& stream, NewStream& listed, Bytes& content,
                  Bytes& parse);
    bool FindZlib(const FoundStream& found, const Bytes& content, const Bytes& stream,
                  const deflatestream::StreamFacts& facts, ZlibSettings& settings);

    const Bytes& old_;
    const Bytes& new_;
    const PlanLimits& limits_;
    StreamPlan& plan_;
    std::vector<Bytes> oldStreams_; // compressed bytes, for finding unchanged ones
    std::multimap<std::pair<uint64_t, uint64_t>, size_t> oldBySize_;
};

void Planner::ListOld(const std::vector<FoundStream>& found) {
    for (const FoundStream& stream : found) {
        StreamPlace place;
        AddPieces(stream, plan_.tables.old, place);
        oldBySize_.emplace(std::make_pair(place.deflateBytes, place.contentBytes),
                           plan_.tables.old.streams.size());
        plan_.tables.old.streams.push_back(place);
        oldStreams_.push_back(deflatestream::DeflateBytes(old_.data(), stream));
    }
}

bool Planner::FindZlib(const FoundStream& found, const Bytes& content, const Bytes& stream,
                       const deflatestream::StreamFacts& facts, ZlibSettings& settings) {
    deflatestream::ZlibHints hints;
    deflatestream::HintsFromFacts(facts, hints);
    bool zlibHeader = found.wrapper == deflatestream::Wrapper::kZlibStream ||
                      found.wrapper == deflatestream::Wrapper::kPngImage;
    if (zlibHeader && found.deflateOffset >= 2)
        deflatestream::HintsFromZlibHeader(new_.data() + found.deflateOffset - 2, 2, hints);
    deflatestream::ZlibParameters parameters;
    deflatestream::ZlibSearchLimits search;
    search.maxCandidates = limits_.zlibCandidates;
    unsigned tried = 0;
    if (!deflatestream::FindZlibParameters(content.data(), content.size(), stream.data(),
                                           stream.size(), hints, parameters, tried, search))
        return false;
    settings = {static_cast<uint8_t>(parameters.level), static_cast<uint8_t>(parameters.memLevel),
                static_cast<uint8_t>(parameters.windowBits),
                static_cast<uint8_t>(parameters.strategy)};
    return ZlibGivesIt(settings, content, stream);
}

bool Planner::Describe(const FoundStream& found, const Bytes& stream, NewStream& listed,
                       Bytes& content, Bytes& parse) {
    auto same = oldBySize_.equal_range({listed.place.deflateBytes, listed.place.contentBytes});
    for (auto it = same.first; it != same.second; ++it) {
        if (SameBytes(oldStreams_[it->second], stream)) {
            listed.how = Rebuild::CopyOld;
            listed.oldIndex = static_cast<uint32_t>(it->second);
            ++plan_.copied;
            break;
        }
    }
    deflatestream::DeflateParse parsed;
    deflatestream::StreamFacts facts;
    std::string why;
    if (!deflatestream::ParseDeflate(stream.data(), stream.size(), content, parsed, why, {},
                                     &facts) ||
        content.size() != listed.place.contentBytes || parsed.streamBytes != stream.size())
        return false;
    if (listed.how == Rebuild::CopyOld)
        return true;
    if (FindZlib(found, content, stream, facts, listed.zlib)) {
        listed.how = Rebuild::Zlib;
        ++plan_.zlib;
        return true;
    }
    parse = deflatestream::SerializeParse(parsed);
    if (!ParseGivesIt(parse, content, stream))
        return false;
    listed.how = Rebuild::Parse;
    listed.parseBytes = parse.size();
    ++plan_.parsed;
    return true;
}

void Planner::ListNew(const std::vector<FoundStream>& found) {
    std::vector<Bytes> contents;
    for (const FoundStream& stream : found) {
        Bytes bytes = deflatestream::DeflateBytes(new_.data(), stream);
        NewStream listed;
        size_t piecesBefore = plan_.tables.fresh.pieces.size();
        AddPieces(stream, plan_.tables.fresh, listed.place);
        Bytes content, parse;
        if (!Describe(stream, bytes, listed, content, parse)) {
            // A stream that cannot be rebuilt exactly stays plain bytes.
            plan_.tables.fresh.pieces.resize(piecesBefore);
            ++plan_.leftPlain;
            continue;
        }
        plan_.tables.newStreams.push_back(listed);
        plan_.parses.push_back(std::move(parse));
        contents.push_back(std::move(content));
    }
    std::vector<StreamPlace> places;
    for (const NewStream& stream : plan_.tables.newStreams)
        places.push_back(stream.place);
    Expand(new_, plan_.tables.fresh, contents, places, plan_.expandedNew);
}

bool Planner::Run() {
    deflatestream::FinderResult oldFound = deflatestream::FindStreams(old_.data(), old_.size());
    deflatestream::FinderResult newFound = deflatestream::FindStreams(new_.data(), new_.size());
    if (oldFound.streams.empty() && newFound.streams.empty())
        return false;
    ListOld(oldFound.streams);
    ListNew(newFound.streams);
    if (plan_.tables.old.pieces.size() > kMaxPieces ||
        plan_.tables.fresh.pieces.size() > kMaxPieces)
        return false;
    // The decoder's own expansion: an old stream it would refuse is never listed.
    plumbing::MemorySource oldSource(old_.data(), old_.size());
    MemoryScratch expanded;
    Failure failure;
    if (!ExpandOld(oldSource, plan_.tables.old, expanded, nullptr, failure))
        return false;
    plan_.expandedOld = expanded.bytes();
    return true;
}

} // namespace

bool PlanStreams(const std::vector<uint8_t>& oldFile, const std::vector<uint8_t>& newFile,
                 const PlanLimits& limits, StreamPlan& plan) {
    plan = StreamPlan();
    return Planner(oldFile, newFile, limits, plan).Run();
}

} // namespace recode
