#include "MkpatchOptions.h"

#include <optional>

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

bool ParseMethod(const std::string& text, std::optional<patchfile::PayloadMethod>& method,
                 std::string& error) {
    if (text == "vcdiff")
        method = patchfile::PayloadMethod::Deflate;
    else if (text == "blocks")
        method = patchfile::PayloadMethod::Blocks;
    else if (text == "recoded")
        method = patchfile::PayloadMethod::Recoded;
    else {
        error = "--method takes vcdiff, blocks or recoded, not " + text;
        return false;
    }
    return true;
}

// One coder for every stream of blocks (or storing a stream as it is, where that is smaller).
bool ParseCoder(const std::string& text, blockdiff::CoderSet& coders, std::string& error) {
    for (coders::Coder coder : {coders::Coder::Deflate, coders::Coder::Zstd, coders::Coder::Xz}) {
        if (text == coders::CoderName(coder)) {
            coders = blockdiff::CoderBit(coders::Coder::Store) | blockdiff::CoderBit(coder);
            return true;
        }
    }
    error = "--coder takes zstd, xz or deflate, not " + text;
    return false;
}

} // namespace

bool ParseOptions(const std::vector<std::string>& args, MkpatchOptions& options,
                  std::string& error) {
    options.build.locator = {kDefaultLocatorKey, kDefaultLocatorValue};
    std::vector<std::string> operands;
    std::string level, value;
    bool coderGiven = false;
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
        else if (arg == "--method")
            ok =
                TakeValue(args, i, value, error) && ParseMethod(value, options.build.method, error);
        else if (arg == "--coder")
            ok = coderGiven =
                TakeValue(args, i, value, error) && ParseCoder(value, options.build.coders, error);
        else if (arg == "--sign")
            ok = TakeValue(args, i, options.signingKeyFile, error);
        else if (arg == "--new-key")
            ok = TakeValue(args, i, options.newKeyFile, error);
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
    if (!options.newKeyFile.empty()) {
        if (operands.empty() && options.signingKeyFile.empty())
            return true;
        error = "--new-key writes a key pair and takes no other operand or --sign";
        return false;
    }
    if (operands.size() != 3) {
        error = "expected OLD_FOLDER NEW_FOLDER PATCH_FILE";
        return false;
    }
    // A coder names how blocks are stored, so it asks for blocks (which a recoded payload
    // holds too).
    if (coderGiven) {
        if (options.build.method == patchfile::PayloadMethod::Deflate) {
            error = "--coder is for the blocks method, not vcdiff";
            return false;
        }
        if (options.build.method != patchfile::PayloadMethod::Recoded)
            options.build.method = patchfile::PayloadMethod::Blocks;
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
