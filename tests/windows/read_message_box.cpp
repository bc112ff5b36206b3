// For the whole-game tests under Wine: starts a Windows program as a Start-menu shortcut
// does (no console, no standard handles), reads the message box it shows as a player sees
// it, presses its OK button and waits for the program to end. Prints, in UTF-8, the box's
// title on the first line, its text, and "exit N" last ("no box" first if none came).
//   read_message_box PROGRAM
#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>

namespace {

struct Box {
    DWORD process;
    HWND window;
};

// A dialog window (class #32770) of the process, shown on screen: a message box.
BOOL CALLBACK findBox(HWND window, LPARAM found)
{
    Box& box = *reinterpret_cast<Box*>(found);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t className[64] = L"";
    GetClassNameW(window, className, 64);
    if (process != box.process || std::wstring(className) != L"#32770" || !IsWindowVisible(window))
        return TRUE;
    box.window = window;
    return FALSE;
}

std::wstring windowText(HWND window)
{
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    const int length = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<size_t>(length));
    return text;
}

// The box's words are in its static controls; the icon is one too, without text.
BOOL CALLBACK collectText(HWND child, LPARAM text)
{
    wchar_t className[64] = L"";
    GetClassNameW(child, className, 64);
    const std::wstring words = windowText(child);
    if (_wcsicmp(className, L"Static") == 0 && !words.empty())
        *reinterpret_cast<std::wstring*>(text) += words + L"\n";
    return TRUE;
}

void print(const std::wstring& text)
{
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                        length, nullptr, nullptr);
    fwrite(bytes.data(), 1, bytes.size(), stdout);
}

}  // namespace

int main()
{
    _setmode(_fileno(stdout), _O_BINARY);  // lines end in a line feed alone
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (count != 2) {
        fprintf(stderr, "usage: read_message_box PROGRAM\n");
        return 2;
    }
    // A shortcut's program gets no standard handles: whatever it prints reaches no one.
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    PROCESS_INFORMATION started = {};
    std::wstring commandLine = L"\"" + std::wstring(arguments[1]) + L"\"";
    if (!CreateProcessW(arguments[1], commandLine.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS,
                        nullptr, nullptr, &startup, &started)) {
        fprintf(stderr, "read_message_box: cannot start the program, error %lu\n", GetLastError());
        return 2;
    }

    Box box = {started.dwProcessId, nullptr};
    for (int wait = 0; wait < 1200 && !box.window; ++wait) {  // a minute
        if (WaitForSingleObject(started.hProcess, 50) == WAIT_OBJECT_0)
            break;
        EnumWindows(findBox, reinterpret_cast<LPARAM>(&box));
    }
    if (box.window) {
        std::wstring text;
        EnumChildWindows(box.window, collectText, reinterpret_cast<LPARAM>(&text));
        print(windowText(box.window) + L"\n" + text);
        // OK, as a player clicks it.
        PostMessageW(box.window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(box.window, IDOK)));
    } else {
        printf("no box\n");
    }
    if (WaitForSingleObject(started.hProcess, 30000) != WAIT_OBJECT_0)
        TerminateProcess(started.hProcess, 255);
    DWORD status = 0;
    GetExitCodeProcess(started.hProcess, &status);
    printf("exit %lu\n", status);
    return 0;
}
