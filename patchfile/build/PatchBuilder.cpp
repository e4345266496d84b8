#include "PatchBuilder.h"

#include "BlockEncoder.h"
#include "ChunkReader.h"
#include "DeflateSink.h"
#include "DirectoryWriter.h"
#include "FileSource.h"
#include "PatchPlanner.h"
#include "PatchSigner.h"
#include "PayloadSink.h"
#include "RecodeEncoder.h"
#include "ScratchFile.h"
#include "SignatureBlock.h"
#include "VcdiffEncoder.h"

#include <algorithm>
#include <functional>
#include <iterator>
#include <vector>

namespace patchfile {
namespace {

class NullObserver : public BuildObserver {
public:
    void OnEntry(const PatchEntry&, size_t, size_t) override {}
    bool OnProgress(uint64_t, uint64_t) override { return true; }
};

// Writes the patch file; owns the temporary output until it is moved into place.
class Writer {
public:
    Writer(FileSystem& fs, const std::string& output, const BuildOptions& options,
           BuildObserver& observer, std::string& error)
        : fs_(fs), output_(output), temp_(output + kTempSuffix),
          // A signed file is signed while it is copied from its complete unsigned body.
          body_(options.signingKey ? temp_ + "u" : temp_), options_(options), observer_(observer),
          error_(error) {}
    ~Writer() {
        out_.reset();
        IoError ignored;
        if (created_)
            fs_.RemoveFile(temp_, ignored);
        if (body_ != temp_)
            fs_.RemoveFile(body_, ignored);
    }

    bool Write(const std::vector<PlannedEntry>& plan, uint64_t& size);

private:
    // Told the bytes of the current entry's encoding done, of its total.
    using Progress = std::function<bool(uint64_t done, uint64_t total)>;

    bool WriteBody(const std::vector<PlannedEntry>& plan, PatchDirectory& directory,
                   uint64_t& size);
    bool Sign(uint64_t& size);
    bool WriteEntry(const PlannedEntry& planned, PatchEntry& entry, size_t index, size_t count);
    bool WriteSmaller(const PlannedEntry& planned, PatchEntry& entry);
    bool CreateScratch(ScratchFile& scratch);
    bool WritePayload(const PlannedEntry& planned, PayloadMethod method, OutputFile& out,
                      const Progress& progress, uint64_t limit, PatchEntry& entry, bool& larger);
    bool Checksum(const std::string& path, uint64_t& size, uint32_t& crc);
    bool Encode(const PlannedEntry& planned, DeflateSink& deflate, const Progress& progress);
    bool EncodeBlocks(const PlannedEntry& planned, OutputFile& out, const Progress& progress,
                      PatchEntry& entry);
    // `offered` false: neither file holds a deflate stream, or they are too large to hold,
    // or the payload would not rebuild the file; nothing is written then.
    bool EncodeRecoded(const PlannedEntry& planned, OutputFile& out, const Progress& progress,
                       PatchEntry& entry, bool& offered);
    bool ReadWhole(const std::string& path, std::vector<uint8_t>& bytes);
    bool ReportEncodeFailure(const PlannedEntry& planned, const FileSource* source,
                             const FileSource& target, const IoError& written, bool stopped,
                             const std::string& reason);
    bool Pack(const PlannedEntry& planned, DeflateSink& deflate, const Progress& progress);
    bool Open(const std::string& path, std::unique_ptr<InputFile>& file);
    bool Failed(const std::string& what, const IoError& io) {
        error_ = what + ": " + DescribeIoError(io);
        return false;
    }

    FileSystem& fs_;
    std::string output_;
    std::string temp_;
    std::string body_;
    const BuildOptions& options_;
    BuildObserver& observer_;
    std::string& error_;
    std::unique_ptr<OutputFile> out_;
    bool created_ = false;
};

bool Writer::Write(const std::vector<PlannedEntry>& plan, uint64_t& size) {
    PatchDirectory directory;
    directory.locator = options_.locator;
    if (options_.signingKey) {
        directory.signature.present = true;
        std::copy(std::begin(options_.signingKey->publicKey.bytes),
                  std::end(options_.signingKey->publicKey.bytes), directory.signature.publicKey);
    }
    for (const PlannedEntry& planned : plan) {
        PatchEntry entry;
        entry.kind = planned.kind;
        entry.name = planned.name;
        directory.entries.push_back(entry);
    }
    uint64_t directorySize = EncodedDirectorySize(directory);
    if (directorySize - kHeaderSize > kMaxDirectorySize) {
        error_ = "too many files for one patch file";
        return false;
    }
    if (!WriteBody(plan, directory, size) || (options_.signingKey && !Sign(size)))
        return false;
    IoError io;
    if (!fs_.Replace(temp_, output_, io))
        return Failed("cannot create " + output_, io);
    created_ = false;
    return true;
}

// Everything but the signature: header and directory, payloads, and for a signed file the
// signature block's head.
bool Writer::WriteBody(const std::vector<PlannedEntry>& plan, PatchDirectory& directory,
                       uint64_t& size) {
    IoError io;
    out_ = fs_.Create(body_, io);
    created_ = out_ != nullptr;
    if (!out_)
        return Failed("cannot create " + body_, io);
    // The directory is written last, once the payloads' sizes and checksums are known.
    uint64_t directorySize = EncodedDirectorySize(directory);
    std::vector<uint8_t> placeholder(static_cast<size_t>(directorySize));
    if (!out_->Write(placeholder.data(), placeholder.size(), io))
        return Failed("cannot write " + body_, io);
    size = directorySize;
    for (size_t i = 0; i < plan.size(); ++i) {
        if (!WriteEntry(plan[i], directory.entries[i], i, plan.size()))
            return false;
        size += directory.entries[i].payloadSize;
    }
    if (directory.signature.present) {
        std::vector<uint8_t> head = EncodeSignatureBlockHead(directory.signature.publicKey);
        if (!out_->Write(head.data(), head.size(), io))
            return Failed("cannot write " + body_, io);
        size += head.size();
    }
    std::vector<uint8_t> bytes = EncodeDirectory(directory);
    if (!out_->WriteAt(0, bytes.data(), bytes.size(), io) || !out_->Close(io))
        return Failed("cannot write " + body_, io);
    out_.reset();
    return true;
}

bool Writer::Sign(uint64_t& size) {
    std::unique_ptr<InputFile> body;
    if (!Open(body_, body))
        return false;
    IoError io, written;
    out_ = fs_.Create(temp_, io);
    created_ = out_ != nullptr;
    if (!out_)
        return Failed("cannot create " + temp_, io);
    if (!CopyAndSign(*body, *out_, *options_.signingKey, plumbing::Tick(), io, written)) {
        if (io)
            return Failed("cannot read " + body_, io);
        return Failed("cannot write " + temp_, written);
    }
    if (!out_->Close(written))
        return Failed("cannot write " + temp_, written);
    out_.reset();
    size += kSignatureSize;
    return true;
}

bool Writer::WriteEntry(const PlannedEntry& planned, PatchEntry& entry, size_t index,
                        size_t count) {
    observer_.OnEntry(entry, index, count);
    if (entry.kind == EntryKind::Delete)
        return true;
    if (!Checksum(planned.newPath, entry.resultSize, entry.resultCrc))
        return false;
    if (entry.kind == EntryKind::Patch &&
        !Checksum(planned.oldPath, entry.sourceSize, entry.sourceCrc))
        return false;
    if (!options_.method)
        return WriteSmaller(planned, entry);
    auto progress = [this](uint64_t done, uint64_t total) {
        return observer_.OnProgress(done, total);
    };
    bool unused = false;
    return WritePayload(planned, *options_.method, *out_, progress, UINT64_MAX, entry, unused);
}

// Codes the entry every way, each into a scratch file, and appends the smallest. Blocks come
// first, then (for a patch entry whose files hold deflate streams) the recoded payload: the
// smaller bounds the zlib stream's, whose coding stops as soon as it is larger. On a tie the
// older method wins, and the zlib stream, which version-1 readers understand too, first.
bool Writer::WriteSmaller(const PlannedEntry& planned, PatchEntry& entry) {
    ScratchFile blocks(fs_, temp_ + "0"), zlib(fs_, temp_ + "1"), recoded(fs_, temp_ + "2");
    PatchEntry blocksEntry = entry, zlibEntry = entry, recodedEntry = entry;
    auto progressOf = [this](int pass) {
        return [this, pass](uint64_t done, uint64_t total) {
            return observer_.OnProgress(pass * total + done, 3 * total);
        };
    };
    bool zlibLarger = false, offered = false;
    if (!CreateScratch(blocks) || !WritePayload(planned, PayloadMethod::Blocks, blocks.out(),
                                                progressOf(0), UINT64_MAX, blocksEntry, zlibLarger))
        return false;
    if (entry.kind == EntryKind::Patch &&
        (!CreateScratch(recoded) ||
         !EncodeRecoded(planned, recoded.out(), progressOf(1), recodedEntry, offered)))
        return false;
    bool recodedSmaller = offered && recodedEntry.payloadSize < blocksEntry.payloadSize;
    PatchEntry& best = recodedSmaller ? recodedEntry : blocksEntry;
    if (!CreateScratch(zlib) ||
        !WritePayload(planned, PayloadMethod::Deflate, zlib.out(), progressOf(2), best.payloadSize,
                      zlibEntry, zlibLarger))
        return false;
    ScratchFile& kept = !zlibLarger ? zlib : recodedSmaller ? recoded : blocks;
    IoError io;
    if (!kept.AppendTo(*out_, io))
        return Failed("cannot write " + body_, io);
    entry = zlibLarger ? best : zlibEntry;
    return true;
}

bool Writer::CreateScratch(ScratchFile& scratch) {
    IoError io;
    return scratch.Create(io) || Failed("cannot create " + scratch.path(), io);
}

// `limit` bounds a zlib stream: `larger` says it grew beyond, and the payload is incomplete.
bool Writer::WritePayload(const PlannedEntry& planned, PayloadMethod method, OutputFile& out,
                          const Progress& progress, uint64_t limit, PatchEntry& entry,
                          bool& larger) {
    if (method == PayloadMethod::Recoded && entry.kind == EntryKind::Patch) {
        bool offered = false;
        if (!EncodeRecoded(planned, out, progress, entry, offered))
            return false;
        if (offered)
            return true;
    }
    if (method != PayloadMethod::Deflate)
        return EncodeBlocks(planned, out, progress, entry);
    DeflateSink deflate(out, options_.compressionLevel);
    deflate.SetLimit(limit);
    bool written = entry.kind == EntryKind::Patch ? Encode(planned, deflate, progress)
                                                  : Pack(planned, deflate, progress);
    bool finished = written && deflate.Finish();
    larger = deflate.overLimit();
    if (larger || !written)
        return larger;
    if (!finished)
        return Failed("cannot write " + body_, deflate.error());
    entry.method = PayloadMethod::Deflate;
    entry.payloadSize = deflate.compressedSize();
    entry.payloadCrc = deflate.crc();
    return true;
}

bool Writer::Open(const std::string& path, std::unique_ptr<InputFile>& file) {
    IoError io;
    file = fs_.OpenRead(path, io);
    return file ? true : Failed("cannot open " + path, io);
}

bool Writer::Checksum(const std::string& path, uint64_t& size, uint32_t& crc) {
    std::unique_ptr<InputFile> file;
    if (!Open(path, file))
        return false;
    size = file->Size();
    Crc32 sum;
    auto consume = [&sum](const uint8_t* data, size_t length) {
        sum.Update(data, length);
        return true;
    };
    IoError io;
    if (ReadChunks(*file, 0, size, consume, io) != ChunkResult::Done)
        return Failed("cannot read " + path, io);
    crc = sum.value();
    return true;
}

bool Writer::Encode(const PlannedEntry& planned, DeflateSink& deflate, const Progress& progress) {
    std::unique_ptr<InputFile> oldFile, newFile;
    if (!Open(planned.oldPath, oldFile) || !Open(planned.newPath, newFile))
        return false;
    FileSource source(*oldFile, nullptr);
    FileSource target(*newFile, nullptr);
    uint64_t total = newFile->Size();
    // The payload's CRC-32 is checked before anything is applied and the result's before it
    // replaces the file, so a window checksum would only cost the apply time.
    vcdiff::EncoderOptions encoding;
    encoding.windowChecksum = false;
    // Beside the blocks the delta is only a candidate, and it wins where the files differ
    // little, where its long-string table finds the matches: without hash chains its memory
    // stays below the blocks' instead of setting the build's peak.
    if (!options_.method)
        encoding.searchDepth = 1;
    vcdiff::Error result =
        vcdiff::Encode(&source, target, deflate, encoding,
                       [&progress, total](uint64_t done) { return progress(done, total); });
    if (result == vcdiff::Error::None || deflate.overLimit())
        return result == vcdiff::Error::None;
    return ReportEncodeFailure(planned, &source, target, deflate.error(),
                               result == vcdiff::Error::Cancelled, vcdiff::Describe(result));
}

bool Writer::EncodeBlocks(const PlannedEntry& planned, OutputFile& out, const Progress& progress,
                          PatchEntry& entry) {
    std::unique_ptr<InputFile> oldFile, newFile;
    bool patch = entry.kind == EntryKind::Patch;
    if (patch && !Open(planned.oldPath, oldFile))
        return false;
    if (!Open(planned.newPath, newFile))
        return false;
    std::unique_ptr<FileSource> source;
    if (patch)
        source = std::make_unique<FileSource>(*oldFile, nullptr);
    FileSource target(*newFile, nullptr);
    PayloadSink sink(out);
    blockdiff::EncoderOptions encoding;
    encoding.coders = options_.coders;
    blockdiff::Failure failure;
    if (!blockdiff::Encode(source.get(), target, sink, encoding, progress, nullptr, failure))
        return ReportEncodeFailure(planned, source.get(), target, sink.error(),
                                   failure.error == blockdiff::Error::Stopped, failure.Message());
    entry.method = PayloadMethod::Blocks;
    entry.payloadSize = sink.size();
    entry.payloadCrc = sink.crc();
    return true;
}

bool Writer::ReadWhole(const std::string& path, std::vector<uint8_t>& bytes) {
    std::unique_ptr<InputFile> file;
    if (!Open(path, file))
        return false;
    bytes.clear();
    bytes.reserve(static_cast<size_t>(file->Size()));
    auto consume = [&bytes](const uint8_t* data, size_t length) {
        bytes.insert(bytes.end(), data, data + length);
        return true;
    };
    IoError io;
    return ReadChunks(*file, 0, file->Size(), consume, io) == ChunkResult::Done ||
           Failed("cannot read " + path, io);
}

// The streams are found in both files held whole, so the method is offered only for files up
// to kMaxRecodedFile; a larger one keeps the other methods' bounded memory.
bool Writer::EncodeRecoded(const PlannedEntry& planned, OutputFile& out, const Progress& progress,
                           PatchEntry& entry, bool& offered) {
    constexpr uint64_t kMaxRecodedFile = uint64_t(128) << 20;
    offered = false;
    if (entry.sourceSize > kMaxRecodedFile || entry.resultSize > kMaxRecodedFile)
        return true;
    std::vector<uint8_t> oldBytes, newBytes, payload;
    if (!ReadWhole(planned.oldPath, oldBytes) || !ReadWhole(planned.newPath, newBytes))
        return false;
    recode::RecodeOptions options;
    options.blocks.coders = options_.coders;
    blockdiff::Failure failure;
    switch (
        recode::EncodeRecoded(oldBytes, newBytes, payload, options, progress, nullptr, failure)) {
    case recode::Encoded::Ok:
        break;
    case recode::Encoded::Failed:
        error_ = failure.error == blockdiff::Error::Stopped
                     ? std::string("stopped")
                     : "cannot encode " + planned.name + ": " + failure.Message();
        return false;
    case recode::Encoded::NoStreams:
    case recode::Encoded::Unchecked:
        return true;
    }
    IoError io;
    if (!out.Write(payload.data(), payload.size(), io))
        return Failed("cannot write " + body_, io);
    Crc32 crc;
    crc.Update(payload.data(), payload.size());
    entry.method = PayloadMethod::Recoded;
    entry.payloadSize = payload.size();
    entry.payloadCrc = crc.value();
    offered = true;
    return true;
}

// The first cause wins: a file that could not be read or written, a stop, the encoder.
bool Writer::ReportEncodeFailure(const PlannedEntry& planned, const FileSource* source,
                                 const FileSource& target, const IoError& written, bool stopped,
                                 const std::string& reason) {
    if (source && source->error())
        return Failed("cannot read " + planned.oldPath, source->error());
    if (target.error())
        return Failed("cannot read " + planned.newPath, target.error());
    if (written)
        return Failed("cannot write " + body_, written);
    error_ = stopped ? std::string("stopped") : "cannot encode " + planned.name + ": " + reason;
    return false;
}

bool Writer::Pack(const PlannedEntry& planned, DeflateSink& deflate, const Progress& progress) {
    std::unique_ptr<InputFile> file;
    if (!Open(planned.newPath, file))
        return false;
    uint64_t size = file->Size();
    uint64_t done = 0;
    bool stopped = false;
    auto consume = [&](const uint8_t* data, size_t length) {
        if (!deflate.Write(data, length))
            return false;
        done += length;
        stopped = !progress(done, size);
        return !stopped;
    };
    IoError io;
    switch (ReadChunks(*file, 0, size, consume, io)) {
    case ChunkResult::Done:
        return true;
    case ChunkResult::ReadFailed:
        return Failed("cannot read " + planned.newPath, io);
    case ChunkResult::Stopped:
        break;
    }
    if (deflate.overLimit())
        return false;
    if (stopped)
        error_ = "stopped";
    else
        Failed("cannot write " + body_, deflate.error());
    return false;
}

} // namespace

bool BuildPatch(FileSystem& fs, const std::string& oldRoot, const std::string& newRoot,
                const std::string& output, const BuildOptions& options, BuildObserver* observer,
                BuildSummary& summary, std::string& error) {
    summary = BuildSummary();
    std::vector<PlannedEntry> plan;
    if (!PlanPatch(fs, oldRoot, newRoot, options.withDeletes, plan, error))
        return false;
    NullObserver silent;
    Writer writer(fs, output, options, observer ? *observer : silent, error);
    if (!writer.Write(plan, summary.patchFileSize))
        return false;
    for (const PlannedEntry& entry : plan) {
        summary.patched += entry.kind == EntryKind::Patch;
        summary.added += entry.kind == EntryKind::Add;
        summary.deleted += entry.kind == EntryKind::Delete;
    }
    return true;
}

} // namespace patchfile
