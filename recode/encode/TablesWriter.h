#pragma once
#include "StreamTables.h"

#include <cstdint>
#include <vector>

namespace recode {

// The tables as TablesReader reads them, of parse version 2 (the parses go after the
// expanded new file into the block delta): everything of the payload before its delta.
std::vector<uint8_t> WriteTables(const StreamTables& tables);

} // namespace recode
