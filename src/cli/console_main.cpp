// Horalog.com, beside Horalog.exe: what a typed "horalog" runs in a console, as cmd.exe and
// PowerShell take .com before .exe. The window's program is a GUI program, whose output a console
// never shows and for which it does not wait; this one answers the options in the console and
// starts the window's program for none.
#include <windows.h>

#include <string>

#include "cli/command_line.h"

namespace {

// The argument as CreateProcess's command line reads it back.
std::wstring quoted(const std::wstring& argument) {
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, L'\\');
    return out + L"\"";
}

int startWindow() {
    std::wstring program(MAX_PATH, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, program.data(), MAX_PATH);
    if (length < 4 || length >= MAX_PATH) {
        return 1;
    }
    program.resize(length);
    program.replace(program.size() - 4, 4, L".exe");
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::wstring line = quoted(program);
    for (int i = 1; argv != nullptr && i < argc; ++i) {
        line += L' ' + quoted(argv[i]);
    }
    LocalFree(argv);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return 1;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc > 1 && !horalog::onlyQtOptions(argc, argv)) {
        // The console shows UTF-8 as such («Mødt», not «MÃ¸dt»); its own code page comes back.
        const UINT codePage = GetConsoleOutputCP();
        SetConsoleOutputCP(CP_UTF8);
        const int status = horalog::runCommandLine(argc, argv, true);
        if (codePage != 0) {
            SetConsoleOutputCP(codePage);
        }
        return status;
    }
    return startWindow();
}
