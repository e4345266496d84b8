#include "RecodeEncoder.h"

#include "MemorySource.h"
#include "RecodeDecoder.h"
#include "TablesWriter.h"

namespace recode {
namespace {

class VectorSink final : public plumbing::Sink {
public:
    explicit VectorSink(std::vector<uint8_t>& bytes) : bytes_(bytes) {}
    bool Write(const void* data, size_t length) override {
        const uint8_t* p = static_cast<const uint8_t*>(data);
        bytes_.insert(bytes_.end(), p, p + length);
        return true;
    }

private:
    std::vector<uint8_t>& bytes_;
};

bool DecodesTo(const std::vector<uint8_t>& payload, const std::vector<uint8_t>& oldFile,
               const std::vector<uint8_t>& newFile) {
    plumbing::MemorySource payloadSource(payload.data(), payload.size());
    plumbing::MemorySource oldSource(oldFile.data(), oldFile.size());
    MemoryScratch expandedOld, expandedNew;
    std::vector<uint8_t> result;
    VectorSink sink(result);
    Failure failure;
    blockdiff::Failure delta;
    return Decode(payloadSource, oldSource, newFile.size(), expandedOld, expandedNew, sink, nullptr,
                  failure, delta) &&
           result == newFile;
}

} // namespace

bool EncodePlan(const StreamPlan& plan, std::vector<uint8_t>& payload, const RecodeOptions& options,
                const blockdiff::EncodeProgress& progress, blockdiff::Failure& failure) {
    payload = WriteTables(plan.tables);
    std::vector<uint8_t> target = plan.expandedNew;
    for (const std::vector<uint8_t>& parse : plan.parses)
        target.insert(target.end(), parse.begin(), parse.end());
    plumbing::MemorySource expandedOld(plan.expandedOld.data(), plan.expandedOld.size());
    plumbing::MemorySource expandedNew(target.data(), target.size());
    VectorSink sink(payload);
    return blockdiff::Encode(&expandedOld, expandedNew, sink, options.blocks, progress, nullptr,
                             failure);
}

Encoded EncodeRecoded(const std::vector<uint8_t>& oldFile, const std::vector<uint8_t>& newFile,
                      std::vector<uint8_t>& payload, const RecodeOptions& options,
                      const blockdiff::EncodeProgress& progress, StreamPlan* report,
                      blockdiff::Failure& failure) {
    StreamPlan plan;
    if (!PlanStreams(oldFile, newFile, options.plan, plan))
        return Encoded::NoStreams;
    if (!EncodePlan(plan, payload, options, progress, failure))
        return Encoded::Failed;
    if (!DecodesTo(payload, oldFile, newFile))
        return Encoded::Unchecked;
    if (report) {
        plan.expandedOld.clear();
        plan.expandedNew.clear();
        *report = std::move(plan);
    }
    return Encoded::Ok;
}

} // namespace recode
