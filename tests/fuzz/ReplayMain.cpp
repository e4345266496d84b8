// Runs a fuzz target's entry point once over every file in the folders given (not their
// subfolders), in the ordinary build and under its sanitizers, so that every input a campaign
// ever kept (findings and corpus) is checked again by ctest. A crash, a sanitizer report or a
// failed check names the file being run; a run that found no file at all fails too, since a
// replay of nothing proves nothing.
#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
// Present when the build uses a sanitizer: called before a sanitizer report ends the process.
extern "C" void __sanitizer_set_death_callback(void (*callback)(void)) __attribute__((weak));

namespace {

// The file being run, for the handlers below; set before each run.
char g_current[4096] = "";

void SayCurrent() {
    const char prefix[] = "\nfuzz replay: failed on ";
    [[maybe_unused]] ssize_t ignored = write(2, prefix, sizeof(prefix) - 1);
    ignored = write(2, g_current, std::strlen(g_current));
    ignored = write(2, "\n", 1);
}

void OnFatalSignal(int signal) {
    SayCurrent();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void NameTheFileOnFailure() {
    if (__sanitizer_set_death_callback)
        __sanitizer_set_death_callback(SayCurrent);
    for (int signal : {SIGABRT, SIGILL, SIGSEGV, SIGBUS, SIGFPE, SIGTRAP})
        std::signal(signal, OnFatalSignal);
}

std::vector<std::filesystem::path> FilesIn(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (const auto& item : std::filesystem::directory_iterator(folder, error))
        if (item.is_regular_file())
            files.push_back(item.path());
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<uint8_t> ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

} // namespace

int main(int argc, char** argv) {
    NameTheFileOnFailure();
    size_t total = 0;
    for (int i = 1; i < argc; ++i) {
        const std::vector<std::filesystem::path> files = FilesIn(argv[i]);
        for (const std::filesystem::path& file : files) {
            std::snprintf(g_current, sizeof(g_current), "%s", file.c_str());
            const std::vector<uint8_t> bytes = ReadAll(file);
            // libFuzzer never passes a null pointer, also for an empty input.
            static const uint8_t kNoByte = 0;
            LLVMFuzzerTestOneInput(bytes.empty() ? &kNoByte : bytes.data(), bytes.size());
        }
        std::printf("%s: %zu files\n", argv[i], files.size());
        total += files.size();
    }
    if (total == 0) {
        std::fprintf(stderr, "fuzz replay: no input files found\n");
        return 1;
    }
    std::printf("fuzz replay: %zu files, no failure\n", total);
    return 0;
}
