// The RVA fields of the export and import tables: each is listed only when its value is an
// address the layout maps, so that a zero or a garbage word is never taken for one.
#include "PeFormat.h"
#include "PeImage.h"

namespace x86image::pe {

namespace {

constexpr uint64_t kWordBytes = ReferenceCollector::kFieldBytes;

bool IsMappedRva(const AddressTranslator& addresses, uint32_t value) {
    uint64_t ignored = 0;
    return value != 0 && addresses.FileOffsetOf(value, ignored);
}

// Lists the field at `fileOffset` (in the file) when it holds a mapped RVA; false past a cap,
// or when the read fails (the source failed or the parse stopped), which ends the walk.
bool AddIfRva(ImageBytes& bytes, const AddressTranslator& addresses, uint64_t fileOffset,
              ReferenceCollector& found) {
    uint32_t value = 0;
    return bytes.U32(fileOffset, value) &&
           (!IsMappedRva(addresses, value) || found.AddRelativeToBase(fileOffset));
}

// An array of `count` RVAs at `rva`, all of it in the file bytes of one section or skipped.
bool AddRvaArray(ImageBytes& bytes, const AddressTranslator& addresses, uint32_t rva,
                 uint32_t count, ReferenceCollector& found) {
    uint64_t start = 0;
    if (count == 0 || !addresses.FileOffsetOfField(rva, uint64_t{count} * kWordBytes, start)) {
        return true;
    }
    if (!found.Walk(count)) {
        return false;
    }
    for (uint64_t index = 0; index < count; ++index) {
        if (!AddIfRva(bytes, addresses, start + index * kWordBytes, found)) {
            return false;
        }
    }
    return true;
}

// A thunk array ends with a zero word; ordinals (top bit set) are no RVAs.
bool AddThunks(ImageBytes& bytes, const AddressTranslator& addresses, uint32_t rva,
               ReferenceCollector& found) {
    uint64_t start = 0;
    uint64_t available = 0;
    if (rva == 0 || !addresses.FileSpanAt(rva, start, available)) {
        return true;
    }
    for (uint64_t at = start; available - (at - start) >= kWordBytes; at += kWordBytes) {
        uint32_t value = 0;
        if (!found.Walk(1)) {
            return false;
        }
        if (!bytes.U32(at, value) || value == 0) {
            break;
        }
        if ((value & kOrdinalFlag) == 0 && IsMappedRva(addresses, value) &&
            !found.AddRelativeToBase(at)) {
            return false;
        }
    }
    return true;
}

} // namespace

bool CollectExportFields(ImageBytes& bytes, const AddressTranslator& addresses,
                         DataDirectory directory, ReferenceCollector& found) {
    uint64_t at = 0;
    if (directory.size == 0 ||
        !addresses.FileOffsetOfField(directory.rva, kExportDirectoryBytes, at)) {
        return true;
    }
    uint32_t functions = 0, names = 0, functionsRva = 0, namesRva = 0;
    if (!bytes.U32(at + kNumberOfFunctions, functions) || !bytes.U32(at + kNumberOfNames, names) ||
        !bytes.U32(at + kAddressOfFunctions, functionsRva) ||
        !bytes.U32(at + kAddressOfNames, namesRva)) {
        return true;
    }
    for (uint64_t field :
         {kExportName, kAddressOfFunctions, kAddressOfNames, kAddressOfNameOrdinals}) {
        if (!AddIfRva(bytes, addresses, at + field, found)) {
            return false;
        }
    }
    return AddRvaArray(bytes, addresses, functionsRva, functions, found) &&
           AddRvaArray(bytes, addresses, namesRva, names, found);
}

bool CollectImportFields(ImageBytes& bytes, const AddressTranslator& addresses,
                         DataDirectory directory, ReferenceCollector& found) {
    uint64_t start = 0;
    uint64_t available = 0;
    // The directory's size is often wrong in the wild; the table ends with a zero descriptor.
    if (directory.rva == 0 || !addresses.FileSpanAt(directory.rva, start, available)) {
        return true;
    }
    for (uint64_t at = start; available - (at - start) >= kImportDescriptorBytes;
         at += kImportDescriptorBytes) {
        uint32_t lookup = 0, stamp = 0, name = 0, addressTable = 0;
        if (!found.Walk(1)) {
            return false;
        }
        if (!bytes.U32(at + kOriginalFirstThunk, lookup) ||
            !bytes.U32(at + kImportTimeDateStamp, stamp) || !bytes.U32(at + kImportName, name) ||
            !bytes.U32(at + kFirstThunk, addressTable) ||
            (lookup == 0 && name == 0 && addressTable == 0)) {
            break;
        }
        for (uint64_t field : {kOriginalFirstThunk, kImportName, kFirstThunk}) {
            if (!AddIfRva(bytes, addresses, at + field, found)) {
                return false;
            }
        }
        // A bound import's address table holds the target's addresses, not RVAs of ours; an
        // unbound one repeats the lookup table (or is the only table, from old linkers).
        const bool tableHoldsRvas = stamp == 0 || lookup == 0;
        if (!AddThunks(bytes, addresses, lookup, found) ||
            (tableHoldsRvas && addressTable != lookup &&
             !AddThunks(bytes, addresses, addressTable, found))) {
            return false;
        }
    }
    return true;
}

} // namespace x86image::pe
