#pragma once
#include <string>

// The installed game's values under HKEY_CURRENT_USER\Software\Corvanel\Tessik.
extern const char kGameRegistryKey[];
extern const char kProgramValue[]; // the install folder
extern const char kFmvValue[];     // the video folder, or the CD's root

// Reads a string value into `value`. False when the key or value is missing or the value
// does not fit in 260 bytes with its terminating zero.
bool ReadGameValue(const char* name, std::string& value);
// Writes a string value (REG_SZ); true on success.
bool WriteGameValue(const char* name, const std::string& value);
