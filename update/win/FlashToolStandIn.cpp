// A stand-in for the flashing tool, for the tests: it writes the parameter it was started with to
// DidizoVA.args beside itself (one line, UTF-8) and ends.

#include <windows.h>
#include <shellapi.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
    std::wstring parameter;
    for (int i = 1; args != nullptr && i < count; ++i) {
        if (i > 1) parameter += L' ';
        parameter += args[i];
    }
    if (args != nullptr) LocalFree(args);

    wchar_t self[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 1;
    std::wstring record(self, length);
    record = record.substr(0, record.find_last_of(L'\\') + 1) + L"DidizoVA.args";

    const int bytes = WideCharToMultiByte(CP_UTF8, 0, parameter.c_str(), static_cast<int>(parameter.size()), nullptr,
                                          0, nullptr, nullptr);
    std::string text(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, parameter.c_str(), static_cast<int>(parameter.size()), text.data(), bytes,
                        nullptr, nullptr);
    text += "\n";
    HANDLE out = CreateFileW(record.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    const BOOL ok = WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(out);
    return ok && written == text.size() ? 0 : 1;
}
