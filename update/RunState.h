#pragma once
#include <windows.h>

#include <cstdio>
#include <string>

// The update run's state. The main dialog owns it, as its members; the workflow's objects
// work on it through these references, so the dialog and its workflow always see the same.
struct RunState {
    // Set when an error occurred or the player aborted: the run stops.
    BOOL& error;
    // The CD's folder, ending in a backslash: files are copied from here.
    std::string& fmvPath;
    // The game's install folder, ending in a backslash.
    std::string& programPath;
    // The folder of the updater itself, without a trailing backslash: the patch files lie here.
    std::string& updateDir;
    // The install folder as it was before the update run sanitised it.
    std::string& savedProgramPath;
    // update.map in the install folder, open only while a line is appended.
    std::FILE*& updateMap;
};
