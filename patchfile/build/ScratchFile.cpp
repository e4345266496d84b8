#include "ScratchFile.h"

#include "ChunkReader.h"

namespace patchfile {

ScratchFile::~ScratchFile() {
    out_.reset();
    if (created_) {
        IoError ignored;
        fs_.RemoveFile(path_, ignored);
    }
}

bool ScratchFile::Create(IoError& error) {
    out_ = fs_.Create(path_, error);
    created_ = out_ != nullptr;
    return created_;
}

bool ScratchFile::AppendTo(OutputFile& to, IoError& error) {
    if (!out_->Close(error))
        return false;
    std::unique_ptr<InputFile> in = fs_.OpenRead(path_, error);
    if (!in)
        return false;
    auto append = [&to, &error](const uint8_t* data, size_t length) {
        return to.Write(data, length, error);
    };
    return ReadChunks(*in, 0, in->Size(), append, error) == ChunkResult::Done;
}

} // namespace patchfile
