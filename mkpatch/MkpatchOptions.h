#pragma once
#include "PatchBuilder.h"

#include <string>
#include <vector>

namespace mkpatch {

struct MkpatchOptions {
    std::string oldFolder;
    std::string newFolder;
    std::string output;
    patchfile::BuildOptions build;
    bool quiet = false;
    // --sign: the private key file the patch file is signed with.
    std::string signingKeyFile;
    // --new-key: only a new key pair is written, to this file and its .pub.
    std::string newKeyFile;
    // Asked for the usage or the version: nothing else is read.
    bool showHelp = false;
    bool showVersion = false;
};

// The locator written unless told otherwise: where the game's installer records its folder.
extern const char kDefaultLocatorKey[];
extern const char kDefaultLocatorValue[];

// False with a message on anything it does not understand.
bool ParseOptions(const std::vector<std::string>& args, MkpatchOptions& options,
                  std::string& error);

} // namespace mkpatch
