// Stand-in program for the end-to-end test of the input hooks: each run appends one line to the
// file named like the program with the extension .log, beside it. It takes no arguments, as the
// software functions open a program without any.

#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    wchar_t self[MAX_PATH * 2] = {};
    const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH * 2);
    if (n == 0 || n >= MAX_PATH * 2) return 1;
    std::wstring log(self, n);
    const size_t dot = log.find_last_of(L'.');
    if (dot != std::wstring::npos && dot > log.find_last_of(L'\\')) log.resize(dot);
    log += L".log";
    HANDLE file = CreateFileW(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    const char line[] = "run\r\n";
    DWORD written = 0;
    const BOOL ok = WriteFile(file, line, sizeof line - 1, &written, nullptr);
    CloseHandle(file);
    return ok ? 0 : 1;
}
