// A stand-in child program for black-box tests (fake javaw.exe, installers,
// msiexec.exe). Each run appends one record to a file: its command line as the
// system gives it, its current folder and its environment block, as UTF-16 text:
//
//   [run]
//   program=...           (its own path)
//   commandLine=...
//   currentFolder=...
//   environment
//   NAME=value            (one line per variable, in block order)
//   [end]
//   [ended]               (appended when the probe ends, after its wait)
//
// Settings come from environment variables, or else from "<own path>.ini",
// section [probe] (for runs that do not inherit the test's environment):
//   PROBE_RECORD  / record=  the record file; default "<own path>.record"
//   PROBE_WAIT_MS / wait_ms= milliseconds to wait before ending; default 0
//   PROBE_EXIT    / exit=    the exit code; default 0
//   PROBE_REGISTER / register=  "KEY|VALUE|DATA": writes a REG_SZ value under
//                 HKEY_LOCAL_MACHINE before ending, as an installer would
//   PROBE_READ_REG / read_reg=  "KEY|VALUE": records "registry=DATA" (or
//                 "registry=<missing>") of that HKEY_LOCAL_MACHINE value
#include <windows.h>

#include <wchar.h>

namespace {

wchar_t g_self[MAX_PATH];
wchar_t g_ini[MAX_PATH + 8];

void Setting(const wchar_t* variable, const wchar_t* key, wchar_t* out, DWORD capacity)
{
    DWORD n = GetEnvironmentVariableW(variable, out, capacity);
    if (n > 0 && n < capacity) return;
    GetPrivateProfileStringW(L"probe", key, L"", out, capacity, g_ini);
}

int NumberSetting(const wchar_t* variable, const wchar_t* key)
{
    wchar_t text[32];
    Setting(variable, key, text, 32);
    int value = 0, sign = 1;
    const wchar_t* p = text;
    if (*p == L'-') { sign = -1; ++p; }
    for (; *p >= L'0' && *p <= L'9'; ++p) value = value * 10 + (*p - L'0');
    return sign * value;
}

void Write(HANDLE file, const wchar_t* text)
{
    DWORD written;
    WriteFile(file, text, DWORD(lstrlenW(text) * sizeof(wchar_t)), &written, nullptr);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    GetModuleFileNameW(nullptr, g_self, MAX_PATH);
    lstrcpyW(g_ini, g_self);
    lstrcatW(g_ini, L".ini");

    wchar_t recordPath[MAX_PATH + 8];
    Setting(L"PROBE_RECORD", L"record", recordPath, MAX_PATH + 8);
    if (!recordPath[0]) {
        lstrcpyW(recordPath, g_self);
        lstrcatW(recordPath, L".record");
    }

    // Several probes may end at once: retry while another holds the file.
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 200 && file == INVALID_HANDLE_VALUE; ++attempt) {
        file = CreateFileW(recordPath, FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) Sleep(10);
    }
    if (file != INVALID_HANDLE_VALUE) {
        wchar_t folder[MAX_PATH * 2];
        GetCurrentDirectoryW(MAX_PATH * 2, folder);
        Write(file, L"[run]\r\nprogram=");
        Write(file, g_self);
        Write(file, L"\r\ncommandLine=");
        Write(file, GetCommandLineW());
        Write(file, L"\r\ncurrentFolder=");
        Write(file, folder);
        wchar_t query[1024];
        Setting(L"PROBE_READ_REG", L"read_reg", query, 1024);
        if (wchar_t* name = wcschr(query, L'|')) {
            *name++ = 0;
            wchar_t data[1024] = L"<missing>";
            DWORD size = sizeof data - sizeof(wchar_t);
            if (RegGetValueW(HKEY_LOCAL_MACHINE, query, name, RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS)
                lstrcpyW(data, L"<missing>");
            Write(file, L"\r\nregistry=");
            Write(file, data);
        }
        Write(file, L"\r\nenvironment\r\n");
        wchar_t* block = GetEnvironmentStringsW();
        for (const wchar_t* v = block; *v; v += lstrlenW(v) + 1) {
            Write(file, v);
            Write(file, L"\r\n");
        }
        FreeEnvironmentStringsW(block);
        Write(file, L"[end]\r\n");
        CloseHandle(file);
    }

    wchar_t registration[1024];
    Setting(L"PROBE_REGISTER", L"register", registration, 1024);
    wchar_t* value = wcschr(registration, L'|');
    wchar_t* data = value ? wcschr(value + 1, L'|') : nullptr;
    if (data) {
        *value++ = 0;
        *data++ = 0;
        HKEY key;
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, registration, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) ==
            ERROR_SUCCESS) {
            RegSetValueExW(key, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(data),
                           DWORD((lstrlenW(data) + 1) * sizeof(wchar_t)));
            RegCloseKey(key);
        }
    }

    int waitMs = NumberSetting(L"PROBE_WAIT_MS", L"wait_ms");
    if (waitMs > 0) Sleep(DWORD(waitMs));
    if (file != INVALID_HANDLE_VALUE) {
        file = CreateFileW(recordPath, FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            Write(file, L"[ended]\r\n");
            CloseHandle(file);
        }
    }
    return NumberSetting(L"PROBE_EXIT", L"exit");
}
