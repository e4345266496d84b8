#pragma once
#include "ImageBytes.h"
#include "ImageLayout.h"
#include "ReferenceCollector.h"

namespace x86image {

// Lists the pc-relative code addresses of the image's call-frame tables (.eh_frame): the
// start of every function's unwind record, which changes wherever code moved.
//
// A section counts as such a table only when all of it reads as one: a chain of CIE and FDE
// records, each inside the section, every FDE naming a CIE met before it, ending at the
// section's end or at a zero terminator. The names of sections are not needed (PE keeps long
// ones in a string table that stripping may drop), and a section that merely looks like a
// table costs only a wrong prediction. A table with more fields than the collector's room is
// left out whole, so the other lists stay as they are.
void ListUnwindFields(ImageBytes& bytes, const ImageLayout& layout, ReferenceCollector& found);

} // namespace x86image
