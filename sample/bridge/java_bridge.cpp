// javaw.exe of the demo's Java runtime under Wine: starts the machine's own
// (Unix) Java with the same arguments, the Windows paths of the splash picture
// and the class path translated to Unix paths, waits until it ends and ends
// with its exit code. The wizard learns from WINE_JAVA_BRIDGE=1 that it runs
// this way, and from WINE_JAVA_BRIDGE_LOADER which Wine loader to run Windows
// programs with. The Unix Java is /usr/bin/java, or the program JAVA_BRIDGE_JAVA names.
#include <windows.h>
#include <shellapi.h>
#include <wchar.h>

namespace {

typedef char*(CDECL* UnixNameFunction)(LPCWSTR);
typedef WCHAR*(CDECL* DosNameFunction)(LPCSTR);

const int kLineSize = 32768;   // the longest command line Windows takes
WCHAR g_line[kLineSize];      // the Unix program's command line
int g_lineLength = 0;
WCHAR g_exitFile[MAX_PATH];   // where the shell leaves Java's exit code

// Run by /bin/sh with the exit file as $0 and Java with its arguments after it.
// Wine's Unix paths of drives go through dosdevices/x:, and a colon splits a
// Java class path, so existing absolute paths are resolved first.
const WCHAR kShellScript[] =
    L"exit_file=$0; for a do shift; case $a in"
    L" /*) [ -e \"$a\" ] && a=$(readlink -f -- \"$a\");;"
    L" -splash:/*) p=${a#-splash:}; [ -e \"$p\" ] && a=-splash:$(readlink -f -- \"$p\");;"
    L" esac; set -- \"$@\" \"$a\"; done;"
    L" \"$@\"; echo $? >\"$exit_file.part\" && mv \"$exit_file.part\" \"$exit_file\"";

// Appends text; false when it would not fit.
bool Append(WCHAR* buffer, int size, int& length, const WCHAR* text, int count)
{
    if (count < 0 || length + count >= size)
        return false;
    CopyMemory(buffer + length, text, count * sizeof(WCHAR));
    length += count;
    buffer[length] = 0;
    return true;
}

bool AppendChars(WCHAR* buffer, int size, int& length, WCHAR c, int count)
{
    for (int i = 0; i < count; ++i)
        if (!Append(buffer, size, length, &c, 1))
            return false;
    return true;
}

// Appends one argument, quoted the way the C runtime splits command lines.
bool AppendArgument(const WCHAR* argument)
{
    int& length = g_lineLength;
    if (length > 0 && !Append(g_line, kLineSize, length, L" ", 1))
        return false;
    bool quote = argument[0] == 0;
    for (const WCHAR* p = argument; *p; ++p)
        if (*p == L' ' || *p == L'\t' || *p == L'"')
            quote = true;
    if (!quote)
        return Append(g_line, kLineSize, length, argument, lstrlenW(argument));
    if (!Append(g_line, kLineSize, length, L"\"", 1))
        return false;
    int backslashes = 0;
    for (const WCHAR* p = argument;; ++p) {
        if (*p == L'\\') {
            ++backslashes;
            continue;
        }
        if (*p == 0)
            return AppendChars(g_line, kLineSize, length, L'\\', backslashes * 2) &&
                   Append(g_line, kLineSize, length, L"\"", 1);
        if (*p == L'"') {
            if (!AppendChars(g_line, kLineSize, length, L'\\', backslashes * 2 + 1))
                return false;
        } else if (!AppendChars(g_line, kLineSize, length, L'\\', backslashes)) {
            return false;
        }
        backslashes = 0;
        if (!Append(g_line, kLineSize, length, p, 1))
            return false;
    }
}

// The Unix path of a Windows path, as wide text; false when Wine cannot say.
bool UnixPath(const WCHAR* windowsPath, WCHAR* unixPath, int size)
{
    UnixNameFunction toUnix = reinterpret_cast<UnixNameFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix)
        return false;
    char* name = toUnix(windowsPath);
    if (!name)
        return false;
    int written = MultiByteToWideChar(CP_UTF8, 0, name, -1, unixPath, size);
    HeapFree(GetProcessHeap(), 0, name);
    return written > 0;
}

// The path under which Wine starts the Unix program at unixPath.
bool DosPath(const WCHAR* unixPath, WCHAR* dosPath, int size)
{
    DosNameFunction toDos = reinterpret_cast<DosNameFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
    char narrow[MAX_PATH * 3];
    if (!toDos || !WideCharToMultiByte(CP_UTF8, 0, unixPath, -1, narrow, sizeof narrow, nullptr, nullptr))
        return false;
    WCHAR* name = toDos(narrow);
    if (!name)
        return false;
    bool fits = lstrlenW(name) < size;
    if (fits)
        lstrcpynW(dosPath, name, size);
    HeapFree(GetProcessHeap(), 0, name);
    return fits;
}

// Appends an argument, its path part (after prefixLength characters) as a
// Unix path when Wine can translate it.
bool AppendTranslated(const WCHAR* argument, int prefixLength)
{
    WCHAR translated[MAX_PATH * 4];
    int length = 0;
    if (!Append(translated, MAX_PATH * 4, length, argument, prefixLength) ||
        !UnixPath(argument + prefixLength, translated + length, MAX_PATH * 4 - length))
        return AppendArgument(argument);
    return AppendArgument(translated);
}

bool IsClassPathOption(const WCHAR* argument)
{
    return lstrcmpW(argument, L"-jar") == 0 || lstrcmpW(argument, L"-cp") == 0 ||
           lstrcmpW(argument, L"-classpath") == 0;
}

// Wine gives no waitable handle for a Unix program, so Java runs under the
// Unix shell, which writes Java's exit code into a file when Java has ended;
// the bridge waits for that file (it looks four times a second).
int StartAndWait(const WCHAR* program)
{
    PROCESS_INFORMATION process = {};
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessW(program, g_line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return 1;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    while (GetFileAttributesW(g_exitFile) == INVALID_FILE_ATTRIBUTES)
        Sleep(250);
    int exitCode = 0;
    HANDLE file = CreateFileW(g_exitFile, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        char text[16] = {};
        DWORD count = 0;
        if (ReadFile(file, text, sizeof text - 1, &count, nullptr))
            for (DWORD i = 0; i < count && text[i] >= '0' && text[i] <= '9'; ++i)
                exitCode = exitCode * 10 + (text[i] - '0');
        CloseHandle(file);
    }
    DeleteFileW(g_exitFile);
    return exitCode;
}

int RunJava()
{
    WCHAR unixJava[MAX_PATH] = L"/usr/bin/java";
    WCHAR chosen[MAX_PATH];
    DWORD chosenLength = GetEnvironmentVariableW(L"JAVA_BRIDGE_JAVA", chosen, MAX_PATH);
    if (chosenLength > 0 && chosenLength < MAX_PATH)
        lstrcpynW(unixJava, chosen, MAX_PATH);
    // /bin/sh -c 'java...; write its exit code' EXITFILE JAVA ARGUMENTS...
    WCHAR program[MAX_PATH];
    WCHAR temp[MAX_PATH];
    WCHAR unixExitFile[MAX_PATH * 4];
    DWORD tempLength = GetTempPathW(MAX_PATH, temp);
    if (tempLength == 0 || tempLength >= MAX_PATH ||
        !GetTempFileNameW(temp, L"jbr", 0, g_exitFile) || !DeleteFileW(g_exitFile) ||
        !UnixPath(g_exitFile, unixExitFile, MAX_PATH * 4))
        return 1;
    if (!DosPath(L"/bin/sh", program, MAX_PATH) || !AppendArgument(program) || !AppendArgument(L"-c") ||
        !AppendArgument(kShellScript) ||
        !AppendArgument(unixExitFile) || !AppendArgument(unixJava))
        return 1;

    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments)
        return 1;
    bool complete = true;
    for (int i = 1; i < count && complete; ++i) {
        const WCHAR* argument = arguments[i];
        if (wcsncmp(argument, L"-splash:", 8) == 0)
            complete = AppendTranslated(argument, 8);
        else if (i > 1 && IsClassPathOption(arguments[i - 1]))
            complete = AppendTranslated(argument, 0);
        else
            complete = AppendArgument(argument);
    }
    LocalFree(arguments);
    if (!complete)
        return 1;

    SetEnvironmentVariableW(L"WINE_JAVA_BRIDGE", L"1");
    // The Wine loader that runs this program, for the wizard's own Windows
    // programs: Wine keeps WINELOADER itself from the Unix programs it starts.
    WCHAR loader[MAX_PATH];
    DWORD loaderLength = GetEnvironmentVariableW(L"WINELOADER", loader, MAX_PATH);
    if (loaderLength > 0 && loaderLength < MAX_PATH) SetEnvironmentVariableW(L"WINE_JAVA_BRIDGE_LOADER", loader);
    return StartAndWait(program);
}
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    return RunJava();
}
