#include "Parallel.h"

#include <algorithm>
#include <atomic>
#include <vector>

#if defined(_GLIBCXX_HAS_GTHREADS)
#include <system_error>
#include <thread>
#elif defined(_WIN32)
#include <windows.h>
#endif

namespace blockdiff {
namespace {

struct Work {
    const std::function<void(size_t)>& task;
    size_t count;
    std::atomic<size_t> next{0};

    void Drain(const std::function<void()>& afterEach = {}) {
        for (size_t i = next++; i < count; i = next++) {
            task(i);
            if (afterEach) {
                afterEach();
            }
        }
    }
};

#if defined(_GLIBCXX_HAS_GTHREADS)

void RunOnThreads(Work& work, unsigned helpers, const std::function<void()>& afterOwnTask) {
    std::vector<std::thread> threads;
    for (unsigned i = 0; i < helpers; ++i) {
        try {
            threads.emplace_back([&work] { work.Drain(); });
        } catch (const std::system_error&) {
            break; // the caller's thread does the rest
        }
    }
    work.Drain(afterOwnTask);
    for (std::thread& thread : threads) {
        thread.join();
    }
}

unsigned Processors() {
    return std::thread::hardware_concurrency();
}

#elif defined(_WIN32)

// A new thread's stack is 4-byte aligned on 32-bit Windows, where the compiler keeps 16-byte
// values on the stack with aligned moves: the entry realigns it for all the thread runs.
#if defined(__i386__)
__attribute__((force_align_arg_pointer))
#endif
DWORD WINAPI
DrainOnThread(LPVOID work) {
    static_cast<Work*>(work)->Drain();
    return 0;
}

void RunOnThreads(Work& work, unsigned helpers, const std::function<void()>& afterOwnTask) {
    std::vector<HANDLE> threads;
    for (unsigned i = 0; i < helpers; ++i) {
        HANDLE thread = CreateThread(nullptr, 0, DrainOnThread, &work, 0, nullptr);
        if (!thread) {
            break;
        }
        threads.push_back(thread);
    }
    work.Drain(afterOwnTask);
    for (HANDLE thread : threads) {
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    }
}

unsigned Processors() {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return info.dwNumberOfProcessors;
}

#else

void RunOnThreads(Work& work, unsigned, const std::function<void()>& afterOwnTask) {
    work.Drain(afterOwnTask);
}

unsigned Processors() {
    return 1;
}

#endif

} // namespace

void RunTasks(size_t count, unsigned threads, const std::function<void(size_t)>& task,
              const std::function<void()>& afterOwnTask) {
    Work work{task, count};
    const size_t helpers =
        std::min<size_t>(threads > 0 ? threads - 1 : 0, count > 0 ? count - 1 : 0);
    RunOnThreads(work, static_cast<unsigned>(helpers), afterOwnTask);
}

unsigned UsefulThreads(unsigned limit) {
    return std::clamp(Processors(), 1u, std::max(limit, 1u));
}

} // namespace blockdiff
