#include "PatchLibraryCall.h"

#include <gtest/gtest.h>

// The callback tests run without the patch library; none of them may reach it.
void ApplyPatchFileWithLibrary(const std::string& fileName, FpatchCallback) {
    ADD_FAILURE() << "the patch library was called for " << fileName;
}
