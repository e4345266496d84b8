#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// One encoder per compressing coder, each with the contract of Encode().
namespace coders {

bool EncodeDeflate(const uint8_t* data, size_t size, std::vector<uint8_t>& out);
bool EncodeZstd(const uint8_t* data, size_t size, std::vector<uint8_t>& out);
bool EncodeXz(const uint8_t* data, size_t size, std::vector<uint8_t>& out);

} // namespace coders
