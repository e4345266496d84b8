#include "BuiltInTexts.h"

#include <map>

namespace {

const std::map<int, std::string> kBuiltInTexts = {
    {0, "Quillmere"},
    {1, "Preparing to patch files:"},
    {2, "Click [Update] to start the update"},
    {3, "One or more registry keys is missing!\nPlease reinstall the game before trying to "
        "patch it."},
    {4, "Invalid patch file!"},
    {5, "Patching file: %s"},
    {6, "Internal Error: %s"},
    {7, "Copying files from CD and applying patches...\r\n"},
    {8, "Please insert game CD%i in drive \"%s\""},
    {9, "User aborted operation."},
    {10, "Wrong CD inserted or drive not ready.\nPlease insert CD%i in drive \"%s\""},
    {11, "Errors occured during patching!"},
    {12, "No patches were applied. Press OK to Exit"},
    {13, "DONE!\r\nYour game is now patched to the latest version.\r\nPress OK to Exit."},
    {14, "OK"},
    {15, "Copying file \"%s\"..."},
    {16, "An error occured while copying the file \"%s\""},
    {17, "Update"},
    {18, "This update is only compatible with the English version of the game."},
    {19, "136"},
    {20, "This patch is not compatible with your version of the game. Please check our web-site "
         "for more information about the patches."},
    {21, "Please insert Quillmere CD %i into any drive, and click OK."},
    {22, "The game folder \"%s\" could not be renamed to \"%s\"."},
    {23, "The game folder could not be renamed back to \"%s\"; it stays at \"%s\"."},
    {24, "The game folder \"%s\" could not be recorded in the registry."},
    {25, "The game folder is back at \"%s\", but the registry still names \"%s\"."},
    {101, "&About Update..."},
};

} // namespace

std::string ExpectedBuiltInText(int number) {
    auto found = kBuiltInTexts.find(number);
    return found == kBuiltInTexts.end() ? std::string() : found->second;
}

bool HasBuiltInText(int number) {
    return kBuiltInTexts.count(number) != 0;
}
