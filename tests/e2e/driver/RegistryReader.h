#pragma once
#include <string>

namespace e2e {

// A string value under HKEY_CURRENT_USER as the program reads it (ANSI). False when the key
// or the value is missing.
bool ReadUserRegistryString(const std::string& key, const std::string& name, std::string& value);

} // namespace e2e
