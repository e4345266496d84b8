#pragma once
#include "StreamTables.h"

#include <cstdint>
#include <vector>

namespace recode {

// The tables as TablesReader reads them, followed by the listed parses in new-stream order:
// everything of the payload before its block delta.
std::vector<uint8_t> WriteTables(const StreamTables& tables,
                                 const std::vector<std::vector<uint8_t>>& parses);

} // namespace recode
