#pragma once
#include "BlockError.h"
#include "ImageReferences.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The prediction header of a predicted payload (BlockFormat.h): the predictor's version and
// the layout of the new image, which the decoder cannot parse before it has the new file.
namespace blockdiff {

void AppendPredictionHeader(uint8_t version, const x86image::ImageLayout& layout,
                            std::vector<uint8_t>& out);

// Reads the fixed part (format::kPredictionFixedBytes at `bytes`, at `offset` in the payload):
// the version, the kind and base into `layout`, and how many sections follow.
bool ParsePredictionFixed(const uint8_t* bytes, uint64_t offset, uint8_t& version,
                          x86image::ImageLayout& layout, size_t& sections, Failure& failure);
// Reads `count` sections (format::kPredictionSectionBytes each) into `layout`: each non-empty,
// in the order of their file offsets without overlapping, and inside the predictor's files.
bool ParsePredictionSections(const uint8_t* bytes, size_t count, uint64_t offset,
                             x86image::ImageLayout& layout, Failure& failure);

// Leaves in `references` only the fields predictor `version` predicts. False when they are
// more than format::kMaxPredictedReferences.
bool KeepPredictedFields(uint8_t version, x86image::ImageReferences& references);

} // namespace blockdiff
