#pragma once
#include "PatchApplier.h"

namespace patchdll {

// Has the applier trust only the public key this library was built with, if any. False when
// that key does not parse (the build checked it, so only a broken build gets here).
bool TrustBuiltInKey(patchfile::PatchApplier& applier);

} // namespace patchdll
