#include "PredictionSetup.h"

#include "BlockFormat.h"
#include "CoverCoding.h"
#include "PredictionHeader.h"

#include <string>

namespace blockdiff {

bool ParseOldImage(plumbing::Source* old, uint8_t version, x86image::ImageReferences& references,
                   const plumbing::Tick& tick, Failure& failure) {
    PLUMBING_FAIL_IF(!old || old->Size() > format::kMaxPredictedFileSize, failure, Error::Corrupt,
                     "a prediction for an old file the predictor does not take", 0);
    std::string why;
    switch (x86image::ParseImage(*old, references, why, tick)) {
    case x86image::ParseResult::Parsed:
        break;
    case x86image::ParseResult::Refused:
        return failure.Set(Error::Corrupt, "a prediction for an old file that is no image: " + why,
                           0);
    case x86image::ParseResult::ReadFailed:
        return failure.Set(Error::SourceReadFailed, "while parsing the old image", 0);
    case x86image::ParseResult::Stopped:
        return failure.Set(Error::Stopped, "while parsing the old image", 0);
    case x86image::ParseResult::OutOfMemory:
        return failure.Set(Error::OutOfMemory, "while parsing the old image", 0);
    }
    PLUMBING_FAIL_IF(!KeepPredictedFields(version, references), failure, Error::TooLarge,
                     "a prediction for an old image of too many fields", 0);
    return true;
}

bool MapBlockCovers(const uint8_t* records, size_t size, uint32_t blockOutput, uint64_t oldSize,
                    uint64_t blockStart, uint64_t at, AddressMap& map, Failure& failure) {
    CoverReader covers(records, size, blockOutput, oldSize);
    Cover cover;
    while (!covers.AtEnd()) {
        if (!covers.Next(cover, failure, at)) {
            return false;
        }
        PLUMBING_FAIL_IF(map.size() >= format::kMaxPredictedCovers, failure, Error::TooLarge,
                         "more covers than the predictor takes", at);
        map.Add(cover.oldStart, blockStart + cover.outputStart, cover.length);
    }
    return true;
}

} // namespace blockdiff
