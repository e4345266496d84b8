#pragma once
#include "AddressTranslator.h"
#include "ImageBytes.h"
#include "ImageLayout.h"
#include "ReferenceCollector.h"

#include <string>

namespace x86image {

// A PE32 image for i386 (the bytes start with "MZ"): its layout, the fields its base
// relocations name (or, without relocations, the words that look like addresses), and the
// RVA fields of its import and export tables.
bool ParsePe32(ImageBytes& bytes, ImageLayout& layout, ReferenceCollector& found, std::string& why);

namespace pe {

struct DataDirectory {
    uint32_t rva = 0;
    uint32_t size = 0;
};

// The RVA fields of the export directory and of the import descriptors and thunks (PeTables).
bool CollectExportFields(ImageBytes& bytes, const AddressTranslator& addresses,
                         DataDirectory directory, ReferenceCollector& found);
bool CollectImportFields(ImageBytes& bytes, const AddressTranslator& addresses,
                         DataDirectory directory, ReferenceCollector& found);

} // namespace pe
} // namespace x86image
