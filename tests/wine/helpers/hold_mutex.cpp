// Holds the program's single-instance mutex, as a running copy of the program
// does, until told to let go.
//
//     hold_mutex.exe READY_FILE RELEASE_FILE
//
// Creates the mutex "Mirovant931", then creates READY_FILE and waits for
// RELEASE_FILE to appear, at most 60 seconds. Exit status: 0 released, 1 no
// release in time, 2 the mutex existed already, 3 bad arguments or READY_FILE
// could not be made.
#include <windows.h>

namespace {

constexpr DWORD kPollMilliseconds = 50;
constexpr DWORD kLimitMilliseconds = 60000;

bool Exists(const char* path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
        return 3;
    const HANDLE mutex = CreateMutexA(nullptr, FALSE, "Mirovant931");
    if (mutex == nullptr || GetLastError() == ERROR_ALREADY_EXISTS)
        return 2;

    const HANDLE ready = CreateFileA(argv[1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
    if (ready == INVALID_HANDLE_VALUE)
        return 3;
    CloseHandle(ready);

    for (DWORD waited = 0; waited < kLimitMilliseconds; waited += kPollMilliseconds) {
        if (Exists(argv[2])) {
            CloseHandle(mutex);
            return 0;
        }
        Sleep(kPollMilliseconds);
    }
    CloseHandle(mutex);
    return 1;
}
