#pragma once
#include <string>

// The build of the game on the CD in `cdFolder` (ending in a backslash): the PrivateBuild
// string of game.exe's version resource, US English with the Unicode code page only. Empty
// when it cannot be read.
std::string ReadGameBuild(const std::string& cdFolder);
