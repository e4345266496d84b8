#include "PredictionPlan.h"

#include "BlockFormat.h"
#include "MemorySource.h"
#include "PredictionHeader.h"

#include <string>

namespace blockdiff {

x86image::ImageLayout JoinedLayout(const x86image::ImageLayout& layout) {
    x86image::ImageLayout joined = layout;
    joined.sections.clear();
    for (const x86image::Section& section : layout.sections) {
        if (!joined.sections.empty()) {
            x86image::Section& last = joined.sections.back();
            const uint64_t lastEnd = last.fileOffset + last.size;
            if (section.executable == last.executable && section.fileOffset >= lastEnd &&
                section.address - section.fileOffset == last.address - last.fileOffset) {
                last.size = section.fileOffset + section.size - last.fileOffset;
                continue;
            }
        }
        joined.sections.push_back(section);
    }
    return joined;
}

bool PredictionPlan::Prepare(const SuffixIndex& index, plumbing::Source& newFile, uint8_t version) {
    version_ = version;
    if (index.size() > format::kMaxPredictedFileSize ||
        newFile.Size() > format::kMaxPredictedFileSize) {
        return false;
    }
    plumbing::MemorySource oldImage(index.text(), index.size());
    x86image::ImageReferences next;
    std::string why;
    constexpr x86image::ParseResult kParsed = x86image::ParseResult::Parsed;
    if (x86image::ParseImage(oldImage, old_, why) != kParsed ||
        !KeepPredictedFields(version, old_) ||
        x86image::ParseImage(newFile, next, why) != kParsed ||
        next.layout.kind != old_.layout.kind) {
        return false;
    }
    new_ = JoinedLayout(next.layout);
    return new_.sections.size() <= x86image::kMaxSections;
}

void PredictionPlan::AddCovers(const std::vector<BlockPlan>& plans, uint64_t sliceStart,
                               const SuffixIndex& index) {
    for (const BlockPlan& plan : plans) {
        for (const FoundCover& cover : plan.covers) {
            map_.Add(index.OldOffset(cover.textPos), sliceStart + cover.newPos,
                     static_cast<uint32_t>(cover.length));
        }
    }
}

bool PredictionPlan::Seal() {
    if (map_.size() > format::kMaxPredictedCovers) {
        return false;
    }
    map_.Seal();
    predictor_ = std::make_unique<ReferencePredictor>(old_, new_, map_);
    old_ = x86image::ImageReferences();
    return true;
}

void PredictionPlan::AppendHeader(std::vector<uint8_t>& out) const {
    AppendPredictionHeader(version_, new_, out);
}

} // namespace blockdiff
