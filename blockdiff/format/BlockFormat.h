#pragma once
#include "BuildSizes.h"

#include <cstddef>
#include <cstdint>

// Fixed numbers of the block delta format (docs/patch-format.md, "Block delta payload"): the
// new file as a row of independently decodable blocks, each rebuilt from covers of the old
// file, the differences over those covers and literal bytes. The limits bound what a decoder
// holds, whatever the payload says.
namespace blockdiff::format {

constexpr uint8_t kMagic[4] = {'Q', 'B', 'L', 'K'};
// The magic of a payload whose blocks may take their differences against predicted
// references (ReferencePredictor.h): a prediction header follows the payload header.
constexpr uint8_t kPredictedMagic[4] = {'Q', 'B', 'L', 'P'};
// Magic, then the result size as 8 bytes.
constexpr size_t kPayloadHeaderBytes = 12;

// The prediction header: the predictor's version (1), the new image's kind (1) and base (8),
// its section count (1), then per section its file offset (4), size (4), address (8) and
// flags (1). A change to what the predictor predicts, even to a tie-break, is a new version;
// decoders keep every earlier one. Version 1 predicts calls, jumps and the absolute and
// base-relative fields; version 2 also the pc-relative fields of call-frame tables.
constexpr uint8_t kFirstPredictorVersion = 1;
constexpr uint8_t kPredictorVersion = 2;
constexpr size_t kPredictionFixedBytes = 11;
constexpr size_t kPredictionSectionBytes = 17;
constexpr uint8_t kSectionExecutable = 0x01;
// The predictor maps addresses through every cover of the payload, held at once: at most
// this many (12 bytes each), and old images of at most kMaxPredictedReferences listed fields
// (4 bytes each). A builder above either predicts nothing.
constexpr size_t kMaxPredictedCovers = quill::SizeFor<size_t>(256u << 10, 4096);
constexpr size_t kMaxPredictedReferences = 1u << 20;
// Old and new files of the predictor: offsets fit 32 bits.
constexpr uint64_t kMaxPredictedFileSize = 256u << 20;
// Result sizes are below 2^63, like file sizes everywhere in a patch file.
constexpr uint64_t kMaxResultSize = (uint64_t{1} << 63) - 1;

// The most output one block rebuilds; a larger block is refused as damage. (Small in the fuzz
// build, where a header stating 8 MiB would have every run allocate them.)
constexpr uint32_t kMaxBlockOutput = quill::SizeFor(8u << 20, 256u << 10);
// The most bytes of cover records one block may hold. Every record is at least 3 bytes, so
// this also bounds the number of covers.
constexpr uint32_t kMaxCoverBytes = 2u << 20;

// The streams of a block, in the order their descriptors and their bytes are stored.
enum Stream : size_t {
    kCovers = 0,      // cover records (CoverCoding.h)
    kPositions = 1,   // where the sparse differences are; empty in the dense form
    kDifferences = 2, // new minus old over the covers, in the block's form
    kLiterals = 3,    // the bytes no cover gives, in order
};
constexpr size_t kStreamCount = 4;

// How a block stores its differences. The values are stored: never renumber them.
enum class DifferenceForm : uint8_t {
    // One byte per covered byte: new minus old, modulo 256.
    Dense = 0,
    // Words that differ: each entry adds a little-endian number of kSparseWordBytes bytes
    // (fewer where its cover ends sooner) to the bytes at its position, carries staying
    // within the word. The positions stream holds, per entry, the number of unchanged covered
    // bytes between the end of the previous entry (or the first covered byte) and this one
    // (a varint); the differences stream holds the entries' numbers. Code that moved changes
    // in its 32-bit displacements, each a small number repeated over and over.
    Sparse = 1,
};
constexpr uint8_t kDifferenceFormCount = 2;
constexpr size_t kSparseWordBytes = 4;

// Set in the form byte of a block whose differences were taken against the predicted
// references of its covers; only in a payload with the predicted magic.
constexpr uint8_t kPredictedForm = 0x80;

// Block header: output size (4), output CRC-32 (4), difference form (1, with kPredictedForm),
// then one descriptor per stream: coder (1), raw size (4), stored size (4).
constexpr size_t kStreamDescriptorBytes = 9;
constexpr size_t kBlockHeaderBytes = 9 + kStreamCount * kStreamDescriptorBytes;

} // namespace blockdiff::format
