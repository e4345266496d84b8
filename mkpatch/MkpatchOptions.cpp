#include "MkpatchOptions.h"

namespace mkpatch {

const char kDefaultLocatorKey[] = "Software\\Corvanel\\Tessik";
const char kDefaultLocatorValue[] = "Program";

namespace {

bool TakeValue(const std::vector<std::string>& args, size_t& i, std::string& value,
               std::string& error) {
    if (i + 1 >= args.size()) {
        error = args[i] + " needs a value";
        return false;
    }
    value = args[++i];
    return true;
}

bool ParseLevel(const std::string& text, int& level, std::string& error) {
    if (text.size() != 1 || text[0] < '0' || text[0] > '9') {
        error = "--level takes 0 to 9, not " + text;
        return false;
    }
    level = text[0] - '0';
    return true;
}

} // namespace

bool ParseOptions(const std::vector<std::string>& args, MkpatchOptions& options,
                  std::string& error) {
    options.build.locator = {kDefaultLocatorKey, kDefaultLocatorValue};
    std::vector<std::string> operands;
    std::string level;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        bool ok = true;
        if (arg == "--help" || arg == "-h") {
            options.showHelp = true;
            return true;
        }
        if (arg == "--version") {
            options.showVersion = true;
            return true;
        }
        if (arg == "--delete")
            options.build.withDeletes = true;
        else if (arg == "--quiet")
            options.quiet = true;
        else if (arg == "--no-locator")
            options.build.locator = {};
        else if (arg == "--locator-key")
            ok = TakeValue(args, i, options.build.locator.key, error);
        else if (arg == "--locator-value")
            ok = TakeValue(args, i, options.build.locator.value, error);
        else if (arg == "--level")
            ok = TakeValue(args, i, level, error) &&
                 ParseLevel(level, options.build.compressionLevel, error);
        else if (arg.rfind("--", 0) == 0) {
            error = "unknown option " + arg;
            return false;
        } else
            operands.push_back(arg);
        if (!ok)
            return false;
    }
    if (operands.size() != 3) {
        error = "expected OLD_FOLDER NEW_FOLDER PATCH_FILE";
        return false;
    }
    if (options.build.locator.key.empty() != options.build.locator.value.empty()) {
        error = "the locator needs both a key and a value";
        return false;
    }
    options.oldFolder = operands[0];
    options.newFolder = operands[1];
    options.output = operands[2];
    return true;
}

} // namespace mkpatch
