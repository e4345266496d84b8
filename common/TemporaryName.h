#pragma once
#include <string>

namespace quill {

// How many temporary names a writer tries beside its target before it gives up: a name that
// is taken (by a file of the player's, of the game, or one left by a killed run) is never
// touched, the next one is tried.
constexpr unsigned kTemporaryNameAttempts = 100;

// The name of the `number`th (from 1) temporary file beside `target`: "~" and `number` in
// base 36, in the same folder and no longer than the target's own name (a name of one
// character excepted), so that a temporary file can be written wherever the target can.
std::string TemporaryNameBeside(const std::string& target, unsigned number);

} // namespace quill
