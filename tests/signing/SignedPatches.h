#pragma once
#include "ApplyStatus.h"
#include "MemoryFileSystem.h"
#include "PublicKey.h"
#include "SigningKey.h"
#include "TestTree.h"

#include <cstdint>
#include <string>
#include <vector>

namespace patchfile::testing {

// A key pair of its own for each seed byte, the same in every run.
SigningKey TestKey(uint8_t seedByte);

// The game as installed and as the patch makes it.
Tree OldGame();
Tree NewGame();

// A patch file from OldGame to NewGame built by the builder, signed with `key` (null: not
// signed).
std::vector<uint8_t> BuildSamplePatch(const SigningKey* key);

// `body` (a signed file without its signature) with the signature `key` gives it appended.
std::vector<uint8_t> SignBody(const std::vector<uint8_t>& body, const SigningKey& key);

// A game folder of OldGame in memory with the patch file beside it as Patch1.rtp.
MemoryFileSystem GameWithPatch(const std::vector<uint8_t>& patch);
// The files of the game folder, by their names in it.
Tree GameFiles(const MemoryFileSystem& fs);

// Applies Patch1.rtp to the game folder, trusting only `trusted` when it is given.
ApplyStatus ApplySample(MemoryFileSystem& fs, const PublicKey* trusted);

} // namespace patchfile::testing
