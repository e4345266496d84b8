// fpatch: the apply engine of fpatch32.dll as a native command-line program. There is no
// registry here, so the game folder is always given.
#include "EventPrinter.h"
#include "ExitCode.h"
#include "PatchApplier.h"
#include "PatchInfo.h"
#include "PublicKey.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char kUsage[] = "usage: fpatch apply [--quiet | --trace] [--key KEY.pub] PATCH FOLDER\n"
                      "       fpatch info PATCH\n"
                      "--key: apply only a patch file signed with this public key's private key\n"
                      "exit codes: 0 applied, 1 usage, 2 error (event 4), 3 damaged patch file\n"
                      "            (event 14), 4 failure without text (event 13), 5 stopped\n";

int Usage() {
    std::fputs(kUsage, stderr);
    return fpatch::kExitUsage;
}

int ExitCodeOf(patchfile::Outcome outcome) {
    switch (outcome) {
    case patchfile::Outcome::Done:
        return fpatch::kExitOk;
    case patchfile::Outcome::Stopped:
        return fpatch::kExitStopped;
    case patchfile::Outcome::Failed:
        return fpatch::kExitFailed;
    case patchfile::Outcome::Damaged:
        return fpatch::kExitDamaged;
    case patchfile::Outcome::Internal:
        break;
    }
    return fpatch::kExitFailure;
}

int Apply(const std::vector<std::string>& args) {
    fpatch::Verbosity verbosity = fpatch::Verbosity::Normal;
    std::vector<std::string> operands;
    std::string keyFile;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--quiet")
            verbosity = fpatch::Verbosity::Quiet;
        else if (arg == "--trace")
            verbosity = fpatch::Verbosity::Trace;
        else if (arg == "--key" && i + 1 < args.size())
            keyFile = args[++i];
        else if (arg.rfind("--", 0) == 0)
            return Usage();
        else
            operands.push_back(arg);
    }
    if (operands.size() != 2)
        return Usage();
    fpatch::EventPrinter printer(verbosity);
    std::unique_ptr<patchfile::FileSystem> fs = patchfile::MakeNativeFileSystem();
    patchfile::PatchApplier applier(*fs, printer, nullptr);
    if (!keyFile.empty()) {
        patchfile::PublicKey key;
        std::string error;
        if (!patchfile::ReadPublicKeyFile(keyFile, key, error)) {
            std::fprintf(stderr, "fpatch: %s\n", error.c_str());
            return Usage();
        }
        applier.TrustOnly(key);
    }
    int code = ExitCodeOf(applier.Apply(operands[0], operands[1]));
    if (verbosity == fpatch::Verbosity::Normal)
        std::printf("%s (%lu idle events)\n", code == fpatch::kExitOk ? "applied" : "not applied",
                    printer.idleEvents());
    return code;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty())
        return Usage();
    std::string command = args[0];
    args.erase(args.begin());
    if (command == "apply")
        return Apply(args);
    if (command == "info" && args.size() == 1)
        return fpatch::PrintPatchInfo(args[0]);
    return Usage();
}
