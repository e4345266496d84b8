#pragma once
#include <string>

// The built-in texts of the string table, word for word, as the player must see them.
// The empty text for a number that has none.
std::string ExpectedBuiltInText(int number);
// Whether the number has a built-in text at all.
bool HasBuiltInText(int number);
