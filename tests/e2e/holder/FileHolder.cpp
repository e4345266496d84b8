// Holds a file open as a running game holds its archives: for reading and writing, shared
// with nobody. Usage: e2e-holder PATH. Replies "ok" on standard output once the file is held
// (or "err" and the system's error code), then keeps it until its standard input ends.
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::puts("err\tusage: e2e-holder PATH");
        return 2;
    }
    HANDLE file = CreateFileA(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        std::printf("err\t%lu\n", GetLastError());
        return 1;
    }
    std::puts("ok");
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    CloseHandle(file);
    return 0;
}
