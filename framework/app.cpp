#include "app.h"

#include "dialog.h"
#include "text.h"

namespace {

Application* g_application = nullptr;
HCURSOR g_cursorBeforeWait = nullptr;

}  // namespace

Application::Application() : mainWindow(nullptr)
{
    g_application = this;
}

Application::~Application()
{
    if (g_application == this) g_application = nullptr;
}

bool Application::InitInstance()
{
    return true;
}

int Application::ExitInstance()
{
    return 0;
}

Application* Application::Current()
{
    return g_application;
}

int Application::Run()
{
    if (InitInstance()) {
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            HWND dialog = mainWindow ? mainWindow->Window() : nullptr;
            if (dialog && IsDialogMessageW(dialog, &msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    if (mainWindow) mainWindow->DestroyWindow();
    return ExitInstance();
}

HINSTANCE AppResourceHandle()
{
    return GetModuleHandleW(nullptr);
}

const wchar_t* AppName()
{
    static wchar_t name[MAX_PATH];
    if (!name[0]) {
        wchar_t path[MAX_PATH];
        DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
        if (n == 0 || n >= MAX_PATH) return name;
        const wchar_t* base = path + TextFindLast(path, L'\\') + 1;
        long dot = TextFindLast(base, L'.');
        TextCopyN(name, MAX_PATH, base, dot < 0 ? TextLength(base) : size_t(dot));
    }
    return name;
}

bool LoadAppString(UINT id, wchar_t* buffer, int capacity)
{
    if (capacity <= 0) return false;
    buffer[0] = 0;
    // Strings live in blocks of sixteen; the block is found in the language that
    // the system's resource loader prefers (FindResourceW asks for the neutral one).
    HINSTANCE module = AppResourceHandle();
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id / 16 + 1), MAKEINTRESOURCEW(6));
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const WORD* entry = loaded ? static_cast<const WORD*>(LockResource(loaded)) : nullptr;
    if (!entry) return false;
    const WORD* end = entry + SizeofResource(module, found) / sizeof(WORD);
    // Each entry: a length, then that many characters, no terminator.
    for (UINT i = 0; i < id % 16; ++i) {
        if (entry >= end) return false;
        entry += 1 + *entry;
    }
    if (entry >= end || *entry == 0) return false;
    size_t length = *entry;
    if (entry + 1 + length > end) return false;
    if (length >= size_t(capacity)) length = size_t(capacity) - 1;
    TextCopyN(buffer, size_t(capacity), reinterpret_cast<const wchar_t*>(entry + 1), length);
    return true;
}

int AppMessageBox(HWND owner, const wchar_t* text, UINT flags)
{
    return MessageBoxW(owner, text, AppName(), flags);
}

void BeginWaitCursor()
{
    HCURSOR previous = SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32514)));  // IDC_WAIT
    if (!g_cursorBeforeWait) g_cursorBeforeWait = previous;
}

void EndWaitCursor()
{
    HCURSOR normal = g_cursorBeforeWait ? g_cursorBeforeWait : LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    g_cursorBeforeWait = nullptr;
    SetCursor(normal);
}
