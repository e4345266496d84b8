#pragma once
#include <string>

// The installed game's values under HKEY_CURRENT_USER\Software\Corvanel\Tessik.
extern const char kGameRegistryKey[];
extern const char kProgramValue[]; // the install folder
extern const char kFmvValue[];     // the video folder, or the CD's root
// The updater's own: the install folder's name from before a run that has not finished.
extern const char kOriginalProgramValue[];

// Reads a string value into `value`. False when the key or value is missing or the value
// does not fit in 260 bytes with its terminating zero.
bool ReadGameValue(const char* name, std::string& value);
// Writes a string value (REG_SZ); true on success.
bool WriteGameValue(const char* name, const std::string& value);
// Removes a value; one that is not there is left alone.
void DeleteGameValue(const char* name);
