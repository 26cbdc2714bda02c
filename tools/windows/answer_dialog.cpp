// Answers a dialog of a program running under Wine, as a user at the keyboard would:
//   answer_dialog.exe TITLE [TEXT]
// Waits for a top-level window titled TITLE, prints the texts of its controls (a native message
// box has them), brings it to the front, prints what Ctrl+C puts on the clipboard (a Qt message
// box draws its own text, and copies its title, text and buttons), types TEXT over the selected
// field when given, and presses Enter. Keys go through SendInput, so no X window manager is needed.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string utf8(const std::wstring& text) {
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? size - 1 : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), size, nullptr, nullptr);
    return out;
}

BOOL CALLBACK printControl(HWND control, LPARAM) {
    wchar_t text[1024] = {};
    GetWindowTextW(control, text, 1024);
    if (text[0] != 0) {
        std::printf("%s\n", utf8(text).c_str());
    }
    return TRUE;
}

void clearClipboard() {
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
}

void printClipboard() {
    if (!OpenClipboard(nullptr)) {
        return;
    }
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT); data != nullptr) {
        if (const auto* text = static_cast<const wchar_t*>(GlobalLock(data)); text != nullptr) {
            std::printf("%s\n", utf8(text).c_str());
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
}

void send(std::vector<INPUT>& keys) {
    SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT));
    keys.clear();
    Sleep(200);
}

void addKey(std::vector<INPUT>& keys, WORD virtualKey, WORD character, bool up) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = character;
    input.ki.dwFlags = (character != 0 ? KEYEVENTF_UNICODE : 0) | (up ? KEYEVENTF_KEYUP : 0);
    keys.push_back(input);
}

}  // namespace

int wmain(int argc, wchar_t* argv[]) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: answer_dialog.exe TITLE [TEXT]\n");
        return 2;
    }
    HWND window = nullptr;
    for (int i = 0; i < 600 && window == nullptr; ++i) {
        window = FindWindowW(nullptr, argv[1]);
        if (window == nullptr || !IsWindowVisible(window)) {
            window = nullptr;
            Sleep(100);
        }
    }
    if (window == nullptr) {
        std::fprintf(stderr, "answer_dialog: no window titled %s\n", utf8(argv[1]).c_str());
        return 1;
    }
    EnumChildWindows(window, printControl, 0);
    std::fflush(stdout);
    // Let the dialog finish painting and take its default button before the keys arrive.
    Sleep(1000);
    SetForegroundWindow(window);
    Sleep(300);
    std::vector<INPUT> keys;
    clearClipboard();
    addKey(keys, VK_CONTROL, 0, false);
    addKey(keys, 'C', 0, false);
    addKey(keys, 'C', 0, true);
    addKey(keys, VK_CONTROL, 0, true);
    send(keys);
    printClipboard();
    std::fflush(stdout);
    if (argc > 2) {
        addKey(keys, VK_CONTROL, 0, false);
        addKey(keys, 'A', 0, false);
        addKey(keys, 'A', 0, true);
        addKey(keys, VK_CONTROL, 0, true);
        send(keys);
        for (const wchar_t* c = argv[2]; *c != 0; ++c) {
            addKey(keys, 0, *c, false);
            addKey(keys, 0, *c, true);
        }
        send(keys);
    }
    addKey(keys, VK_RETURN, 0, false);
    addKey(keys, VK_RETURN, 0, true);
    send(keys);
    return 0;
}
