#include "BuiltInKey.h"

#include "TrustedKey.h"

namespace patchdll {

bool TrustBuiltInKey(patchfile::PatchApplier& applier) {
    if (kTrustedPublicKeyText[0] == '\0')
        return true;
    patchfile::PublicKey key;
    std::string error;
    if (!patchfile::ParsePublicKey(kTrustedPublicKeyText, key, error))
        return false;
    applier.TrustOnly(key);
    return true;
}

} // namespace patchdll
