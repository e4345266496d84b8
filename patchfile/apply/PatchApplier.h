#pragma once
#include "ApplyStatus.h"
#include "BlockError.h"
#include "EventReporter.h"
#include "FileSystem.h"
#include "FolderLocator.h"
#include "PatchFormat.h"
#include "PublicKey.h"

#include <memory>
#include <optional>
#include <string>

namespace patchfile {

class FileSource;
class ResultSink;
class TempResult;
} // namespace patchfile
namespace vcdiff {
class Decoder;
}
namespace patchfile {

// Applies one patch file to a folder and reports through the events. Before anything is
// changed the whole patch file is checked (its signature when a key is trusted, then the
// directory and payload checksums), so a damaged or unsigned file changes nothing. Each entry is
// then applied in order:
//   patch:  event 7 (name), 3, then 5 from 0 to full with 21 between; the file must have the
//           recorded size and CRC-32 (or already be the result, which is left as it is).
//   add:    3, then 5 from 0 to full; missing folders are created.
//   delete: 3; a missing file is fine.
// Results go to a temporary file beside the target and replace it only once their size and
// CRC-32 match, so every file is either old or new whatever happens. The first error ends
// the run and is reported once (4, 14 or 13); a stop answer ends it without another event.
// One object applies one patch file.
class PatchApplier {
public:
    // `locator` may be null when a folder is always given. `clock` paces the idle events.
    PatchApplier(FileSystem& fs, EventSink& sink, FolderLocator* locator,
                 Clock& clock = SteadyClock());
    ~PatchApplier();

    // From now on only files signed with `key` are applied; the signature is checked before
    // anything of the directory is read.
    void TrustOnly(const PublicKey& key) { trusted_ = key; }

    // `folder` empty: the folder named by the patch file's locator.
    Outcome Apply(const std::string& patchPath, const std::string& folder);
    const ApplyStatus& status() const { return status_; }

private:
    void Run(const std::string& patchPath, const std::string& folder);
    bool OpenPatch(const std::string& patchPath);
    bool CheckSignature();
    bool ResolveFolder(const std::string& folder);
    bool CheckPayloads();
    void RemoveLeftovers();
    bool ApplyEntry(const PatchEntry& entry);
    bool ApplyPatch(const PatchEntry& entry);
    bool ApplyAdd(const PatchEntry& entry);
    bool ApplyDelete(const PatchEntry& entry);
    bool SourceIsOld(const PatchEntry& entry, InputFile& file, bool& alreadyNew);
    bool Rebuild(const PatchEntry& entry, InputFile& file, TempResult& result);
    void RecordDecoderError(const vcdiff::Decoder& decoder, const std::string& name);
    bool Unpack(const PatchEntry& entry, TempResult& result);
    // A payload of blocks into `sink`; `old` is null for an add entry.
    bool DecodeBlocks(const PatchEntry& entry, FileSource* old, ResultSink& sink);
    bool DecodeRecoded(const PatchEntry& entry, FileSource& old, ResultSink& sink);
    void RecordBlockFailure(const PatchEntry& entry, const blockdiff::Failure& failure,
                            const FileSource& payload, const FileSource* old);
    void RecordReadError(const std::string& what, const FileSource& source);
    bool CommitResult(const PatchEntry& entry, TempResult& result);
    bool CreateParentFolders(const std::string& name);
    bool Go(bool answer);
    bool Tick();
    void ReportOutcome();

    FileSystem& fs_;
    EventReporter reporter_;
    FolderLocator* locator_;
    std::optional<PublicKey> trusted_;
    ApplyStatus status_;
    std::string patchPath_;
    std::unique_ptr<InputFile> patch_;
    PatchDirectory directory_;
    std::string folder_;
};

} // namespace patchfile
