#include "PatchApplier.h"

#include "BlockDecoder.h"
#include "ChunkReader.h"
#include "Crc32.h"
#include "DirectoryReader.h"
#include "FileSource.h"
#include "PayloadReader.h"
#include "RecodeDecoder.h"
#include "ResultSink.h"
#include "ScratchOnDisk.h"
#include "SignatureVerifier.h"
#include "TempResult.h"
#include "VcdiffDecoder.h"

#include <new>

namespace patchfile {
namespace {

// Hands inflated delta bytes to the decoder. A window's delta may be megabytes that are only
// buffered until the window is complete, so each inflated chunk is a chance to tick.
class DecoderFeed : public plumbing::Sink {
public:
    DecoderFeed(vcdiff::Decoder& decoder, plumbing::Tick tick)
        : decoder_(decoder), tick_(std::move(tick)) {}
    bool Write(const void* data, size_t length) override {
        return tick_() && decoder_.Feed(data, length);
    }

private:
    vcdiff::Decoder& decoder_;
    plumbing::Tick tick_;
};

std::string Mismatch(const PatchEntry& entry, uint64_t size) {
    std::string text = entry.name + " does not match this patch: it is not the version the "
                                    "patch was made for (";
    if (size != entry.sourceSize)
        text += "size " + std::to_string(size) + " bytes, expected " +
                std::to_string(entry.sourceSize) + ")";
    else
        text += "the checksum differs)";
    return text;
}

} // namespace

PatchApplier::PatchApplier(FileSystem& fs, EventSink& sink, FolderLocator* locator, Clock& clock)
    : fs_(fs), reporter_(sink, clock), locator_(locator) {}

PatchApplier::~PatchApplier() = default;

Outcome PatchApplier::Apply(const std::string& patchPath, const std::string& folder) {
    try {
        Run(patchPath, folder);
    } catch (...) {
        // Only allocation can throw here; nothing is left to say but that it failed.
        status_.FailWithoutText();
    }
    ReportOutcome();
    return status_.outcome();
}

void PatchApplier::Run(const std::string& patchPath, const std::string& folder) {
    if (!OpenPatch(patchPath) || !ResolveFolder(folder) || !CheckPayloads())
        return;
    RemoveLeftovers();
    for (const PatchEntry& entry : directory_.entries) {
        if (!ApplyEntry(entry))
            return;
    }
}

void PatchApplier::ReportOutcome() {
    switch (status_.outcome()) {
    case Outcome::Failed:
        reporter_.ReportError(status_.text());
        break;
    case Outcome::Damaged:
        reporter_.ReportDamaged(status_.text());
        break;
    case Outcome::Internal:
        reporter_.ReportFailure();
        break;
    case Outcome::Done:
    case Outcome::Stopped:
        break;
    }
}

bool PatchApplier::Go(bool answer) {
    if (!answer)
        status_.Stop();
    return answer;
}

bool PatchApplier::Tick() {
    return Go(reporter_.Idle());
}

bool PatchApplier::OpenPatch(const std::string& patchPath) {
    patchPath_ = patchPath;
    IoError io;
    patch_ = fs_.OpenRead(patchPath, io);
    if (!patch_) {
        status_.Fail("cannot open the patch file " + patchPath + ": " + DescribeIoError(io));
        return false;
    }
    if (!CheckSignature())
        return false;
    DirectoryReadResult read = ReadDirectory(*patch_, directory_);
    if (read.io) {
        status_.Fail("cannot read the patch file " + patchPath + ": " + DescribeIoError(read.io));
        return false;
    }
    if (read.format != FormatError::None) {
        status_.Damage(read.format, read.where);
        return false;
    }
    return Tick();
}

bool PatchApplier::CheckSignature() {
    if (!trusted_)
        return true;
    SignatureCheck check = VerifyPatchSignature(*patch_, *trusted_, [this] { return Tick(); });
    if (check.io)
        status_.Fail("cannot read the patch file " + patchPath_ + ": " + DescribeIoError(check.io));
    else if (check.format != FormatError::None)
        status_.Damage(check.format, "signature");
    return check.ok();
}

bool PatchApplier::ResolveFolder(const std::string& folder) {
    folder_ = folder;
    if (folder_.empty()) {
        std::string error;
        if (directory_.locator.empty() || !locator_) {
            status_.Fail("the game folder was not found: the patch file " + patchPath_ +
                         " does not say where it is and none was given");
            return false;
        }
        if (!locator_->Find(directory_.locator, folder_, error)) {
            status_.Fail(error);
            return false;
        }
    }
    PathKind kind = PathKind::Missing;
    IoError io;
    if (!fs_.Kind(folder_, kind, io)) {
        status_.Fail("cannot look at the game folder " + folder_ + ": " + DescribeIoError(io));
        return false;
    }
    if (kind != PathKind::Folder) {
        status_.Fail("the game folder " + folder_ + " was not found");
        return false;
    }
    return true;
}

bool PatchApplier::CheckPayloads() {
    plumbing::Tick tick = [this] { return Tick(); };
    for (const PatchEntry& entry : directory_.entries) {
        IoError io;
        switch (CheckPayloadChecksum(*patch_, entry, tick, io)) {
        case PayloadResult::Ok:
            break;
        case PayloadResult::Corrupt:
            status_.Damage(FormatError::PayloadChecksum, entry.name);
            return false;
        case PayloadResult::ReadFailed:
            status_.Fail("cannot read the patch file " + patchPath_ + ": " + DescribeIoError(io));
            return false;
        default:
            return false; // stopped
        }
    }
    return true;
}

// A killed run of an older library may have left its temporary file under the target's name
// and kTempSuffix. No entry may bear such a name, so it is never a file of the game's or a
// player's, and it goes. A file of any other name is not the run's and stays.
void PatchApplier::RemoveLeftovers() {
    for (const PatchEntry& entry : directory_.entries) {
        if (entry.kind == EntryKind::Delete)
            continue;
        IoError ignored;
        fs_.RemoveFile(fs_.Join(folder_, entry.name) + kTempSuffix, ignored);
    }
}

bool PatchApplier::ApplyEntry(const PatchEntry& entry) {
    switch (entry.kind) {
    case EntryKind::Patch:
        return ApplyPatch(entry);
    case EntryKind::Add:
        return ApplyAdd(entry);
    case EntryKind::Delete:
        return ApplyDelete(entry);
    }
    return false;
}

bool PatchApplier::ApplyPatch(const PatchEntry& entry) {
    // The caller may put the file in place while it handles the announcement.
    if (!Go(reporter_.AnnounceFile(entry.name)) ||
        !Go(reporter_.Message("Patching " + entry.name)) || !Go(reporter_.StartProgress()))
        return false;
    std::string path = fs_.Join(folder_, entry.name);
    IoError io;
    std::unique_ptr<InputFile> source = fs_.OpenRead(path, io);
    if (!source) {
        status_.Fail("cannot open " + entry.name + ": " + DescribeIoError(io));
        return false;
    }
    bool alreadyNew = false;
    if (!SourceIsOld(entry, *source, alreadyNew))
        return false;
    if (alreadyNew)
        return Go(reporter_.FinishProgress());
    TempResult result(fs_, path, entry.resultSize);
    if (!Rebuild(entry, *source, result))
        return false;
    // Windows cannot replace a file that is still open.
    source.reset();
    return CommitResult(entry, result);
}

bool PatchApplier::SourceIsOld(const PatchEntry& entry, InputFile& file, bool& alreadyNew) {
    uint64_t size = file.Size();
    bool mayBeOld = size == entry.sourceSize;
    bool mayBeNew = size == entry.resultSize;
    if (!mayBeOld && !mayBeNew) {
        status_.Fail(Mismatch(entry, size));
        return false;
    }
    uint64_t total = entry.sourceSize + entry.resultSize;
    Crc32 crc;
    uint64_t done = 0;
    auto consume = [&](const uint8_t* data, size_t length) {
        crc.Update(data, length);
        done += length;
        return Go(reporter_.AdvanceProgress(done, total));
    };
    IoError io;
    ChunkResult read = ReadChunks(file, 0, size, consume, io);
    if (read == ChunkResult::ReadFailed)
        status_.Fail("cannot read " + entry.name + ": " + DescribeIoError(io));
    if (read != ChunkResult::Done)
        return false;
    if (mayBeOld && crc.value() == entry.sourceCrc)
        return true;
    alreadyNew = mayBeNew && crc.value() == entry.resultCrc;
    if (!alreadyNew)
        status_.Fail(Mismatch(entry, size));
    return alreadyNew;
}

bool PatchApplier::Rebuild(const PatchEntry& entry, InputFile& file, TempResult& result) {
    IoError io;
    if (!result.Open(io)) {
        status_.Fail("cannot write " + entry.name + ": " + DescribeIoError(io));
        return false;
    }
    plumbing::Tick tick = [this] { return Tick(); };
    FileSource source(file, tick);
    ResultSink sink(result, entry.name, entry.sourceSize, entry.sourceSize + entry.resultSize,
                    reporter_, status_);
    if (entry.method == PayloadMethod::Blocks)
        return DecodeBlocks(entry, &source, sink);
    if (entry.method == PayloadMethod::Recoded)
        return DecodeRecoded(entry, source, sink);
    vcdiff::Decoder decoder(&source, sink);
    DecoderFeed feed(decoder, tick);
    PayloadResult unpacked = InflatePayload(*patch_, entry, feed, io);
    if (unpacked == PayloadResult::Ok && decoder.Finish())
        return true;
    // The first cause wins: a write error, a stop or a source read error is already recorded
    // by the time the decoder gives up because of it.
    if (source.error())
        status_.Fail("cannot read " + entry.name + ": " + DescribeIoError(source.error()));
    switch (unpacked) {
    case PayloadResult::ReadFailed:
        status_.Fail("cannot read the patch file " + patchPath_ + ": " + DescribeIoError(io));
        break;
    case PayloadResult::Corrupt:
        status_.Damage(FormatError::PayloadCorrupt, entry.name);
        break;
    case PayloadResult::OutOfMemory:
        status_.FailWithoutText();
        break;
    default:
        break;
    }
    RecordDecoderError(decoder, entry.name);
    status_.FailWithoutText();
    return false;
}

void PatchApplier::RecordDecoderError(const vcdiff::Decoder& decoder, const std::string& name) {
    switch (decoder.error()) {
    case vcdiff::Error::None:
    case vcdiff::Error::SinkRefused:      // the sink has recorded why
    case vcdiff::Error::SourceReadFailed: // recorded from the source above
        break;
    case vcdiff::Error::OutOfMemory:
        status_.FailWithoutText();
        break;
    case vcdiff::Error::WindowTooLarge:
        status_.Damage(FormatError::WindowTooLarge, name);
        break;
    default:
        status_.Damage(FormatError::DeltaCorrupt, name + ": " + decoder.message());
        break;
    }
}

bool PatchApplier::ApplyAdd(const PatchEntry& entry) {
    if (!Go(reporter_.Message("Adding " + entry.name)) || !Go(reporter_.StartProgress()) ||
        !CreateParentFolders(entry.name))
        return false;
    TempResult result(fs_, fs_.Join(folder_, entry.name), entry.resultSize);
    return Unpack(entry, result) && CommitResult(entry, result);
}

bool PatchApplier::Unpack(const PatchEntry& entry, TempResult& result) {
    IoError io;
    if (!result.Open(io)) {
        status_.Fail("cannot write " + entry.name + ": " + DescribeIoError(io));
        return false;
    }
    ResultSink sink(result, entry.name, 0, entry.resultSize, reporter_, status_);
    if (entry.method == PayloadMethod::Blocks)
        return DecodeBlocks(entry, nullptr, sink);
    switch (InflatePayload(*patch_, entry, sink, io)) {
    case PayloadResult::Ok:
        return true;
    case PayloadResult::ReadFailed:
        status_.Fail("cannot read the patch file " + patchPath_ + ": " + DescribeIoError(io));
        return false;
    case PayloadResult::Corrupt:
        status_.Damage(FormatError::PayloadCorrupt, entry.name);
        return false;
    case PayloadResult::Refused:
    case PayloadResult::OutOfMemory:
        break;
    }
    status_.FailWithoutText(); // unless the sink has recorded why
    return false;
}

bool PatchApplier::DecodeBlocks(const PatchEntry& entry, FileSource* old, ResultSink& sink) {
    plumbing::Tick tick = [this] { return Tick(); };
    FileSource payload(*patch_, tick, entry.payloadOffset, entry.payloadSize);
    blockdiff::Failure failure;
    if (blockdiff::Decode(payload, old, sink, tick, failure))
        return true;
    RecordBlockFailure(entry, failure, payload, old);
    return false;
}

void PatchApplier::RecordBlockFailure(const PatchEntry& entry, const blockdiff::Failure& failure,
                                      const FileSource& payload, const FileSource* old) {
    // The first cause wins: a write error or a stop is already recorded by the sink or Go. A
    // read that failed without an error was a stop answer at its tick.
    switch (failure.error) {
    case blockdiff::Error::SourceReadFailed:
        if (old)
            RecordReadError(entry.name, *old);
        break;
    case blockdiff::Error::PayloadReadFailed:
        RecordReadError("the patch file " + patchPath_, payload);
        break;
    case blockdiff::Error::SinkRefused:
    case blockdiff::Error::Stopped:
    case blockdiff::Error::OutOfMemory:
        break;
    default:
        status_.Damage(FormatError::DeltaCorrupt, entry.name + ": " + failure.Message());
        break;
    }
    status_.FailWithoutText();
}

// A read that failed with an error gets its message; one that failed without was a stop
// answered at its tick, already recorded.
void PatchApplier::RecordReadError(const std::string& what, const FileSource& source) {
    if (source.error())
        status_.Fail("cannot read " + what + ": " + DescribeIoError(source.error()));
}

// The old file expanded into one scratch file, the block delta into another, the new file
// rebuilt from it into the result.
bool PatchApplier::DecodeRecoded(const PatchEntry& entry, FileSource& old, ResultSink& sink) {
    plumbing::Tick tick = [this] { return Tick(); };
    FileSource payload(*patch_, tick, entry.payloadOffset, entry.payloadSize);
    std::string target = fs_.Join(folder_, entry.name);
    ScratchOnDisk expandedOld(fs_, target, tick), expandedNew(fs_, target, tick);
    for (ScratchOnDisk* scratch : {&expandedOld, &expandedNew}) {
        if (!scratch->Open()) {
            status_.Fail("cannot write " + scratch->path() + ": " +
                         DescribeIoError(scratch->error()));
            return false;
        }
    }
    recode::Failure failure;
    blockdiff::Failure delta;
    if (recode::Decode(payload, old, entry.resultSize, expandedOld, expandedNew, sink, tick,
                       failure, delta))
        return true;
    auto scratchFailed = [&](const ScratchOnDisk& scratch) {
        status_.Fail("cannot write or read " + scratch.path() + ": " +
                     DescribeIoError(scratch.error()));
    };
    switch (failure.error) {
    case recode::Error::SourceReadFailed:
        RecordReadError(entry.name, old);
        break;
    case recode::Error::PayloadReadFailed:
        RecordReadError("the patch file " + patchPath_, payload);
        break;
    case recode::Error::ScratchFailed:
        scratchFailed(expandedOld.error() ? expandedOld : expandedNew);
        break;
    case recode::Error::DeltaFailed:
        if (delta.error == blockdiff::Error::SourceReadFailed && expandedOld.error())
            scratchFailed(expandedOld);
        else if (delta.error == blockdiff::Error::SinkRefused)
            scratchFailed(expandedNew);
        else
            RecordBlockFailure(entry, delta, payload, nullptr);
        break;
    case recode::Error::SinkRefused:
    case recode::Error::Stopped:
    case recode::Error::OutOfMemory:
        break;
    default:
        status_.Damage(FormatError::DeltaCorrupt, entry.name + ": " + failure.Message());
        break;
    }
    status_.FailWithoutText();
    return false;
}

bool PatchApplier::CommitResult(const PatchEntry& entry, TempResult& result) {
    if (result.written() != entry.resultSize || result.crc() != entry.resultCrc) {
        status_.Damage(FormatError::ResultMismatch, entry.name);
        return false;
    }
    // Flushing a large file to disk can take long: the caller's window gets its turn on
    // either side of it. A stop before it leaves the file old.
    if (!Tick())
        return false;
    IoError io;
    if (!result.Commit(io)) {
        status_.Fail("cannot replace " + entry.name + ": " + DescribeIoError(io));
        return false;
    }
    return Tick() && Go(reporter_.FinishProgress());
}

bool PatchApplier::CreateParentFolders(const std::string& name) {
    for (size_t end = name.find('\\'); end != std::string::npos; end = name.find('\\', end + 1)) {
        std::string folder = name.substr(0, end);
        IoError io;
        if (!fs_.CreateFolder(fs_.Join(folder_, folder), io)) {
            status_.Fail("cannot create the folder " + folder + ": " + DescribeIoError(io));
            return false;
        }
    }
    return true;
}

bool PatchApplier::ApplyDelete(const PatchEntry& entry) {
    if (!Go(reporter_.Message("Deleting " + entry.name)))
        return false;
    IoError io;
    if (!fs_.RemoveFile(fs_.Join(folder_, entry.name), io)) {
        status_.Fail("cannot delete " + entry.name + ": " + DescribeIoError(io));
        return false;
    }
    // Folders the deleted file leaves empty go too, never the game folder itself.
    for (size_t end = entry.name.rfind('\\'); end != std::string::npos && end > 0;
         end = entry.name.rfind('\\', end - 1))
        fs_.RemoveFolderIfEmpty(fs_.Join(folder_, entry.name.substr(0, end)));
    return Tick();
}

} // namespace patchfile
