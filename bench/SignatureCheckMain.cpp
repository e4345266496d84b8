// bench_signature_check PATCH KEY.pub [RUNS]: the time the engine's signature check of a
// patch file takes (SHA-512 streamed over the file, one Ed25519 verification), the best of
// RUNS, to set beside the apply time of the same file.
#include "PublicKey.h"
#include "SignatureVerifier.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: bench_signature_check PATCH KEY.pub [RUNS]\n");
        return 1;
    }
    int runs = argc == 4 ? std::atoi(argv[3]) : 20;
    patchfile::PublicKey key;
    std::string error;
    if (!patchfile::ReadPublicKeyFile(argv[2], key, error)) {
        std::fprintf(stderr, "bench_signature_check: %s\n", error.c_str());
        return 1;
    }
    std::unique_ptr<patchfile::FileSystem> fs = patchfile::MakeNativeFileSystem();
    patchfile::IoError io;
    std::unique_ptr<patchfile::InputFile> file = fs->OpenRead(argv[1], io);
    if (!file) {
        std::fprintf(stderr, "bench_signature_check: cannot open %s\n", argv[1]);
        return 1;
    }
    double best = 1e9;
    for (int run = 0; run < runs; ++run) {
        auto start = std::chrono::steady_clock::now();
        patchfile::SignatureCheck check = patchfile::VerifyPatchSignature(*file, key, nullptr);
        std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        if (!check.ok()) {
            std::fprintf(stderr, "bench_signature_check: %s\n",
                         patchfile::DescribeFormatError(check.format));
            return 2;
        }
        best = took.count() < best ? took.count() : best;
    }
    std::printf("%llu bytes checked in %.2f ms (best of %d), %.0f MB/s\n",
                static_cast<unsigned long long>(file->Size()), best * 1e3, runs,
                file->Size() / best / 1e6);
    return 0;
}
