#pragma once
#include "FpatchApply.h"

#include <string>

// Hands one patch file to the patch library, whose events go to `callback`; returns when the
// library is done with it.
void ApplyPatchFileWithLibrary(const std::string& fileName, FpatchCallback callback);
