#include "support.h"

#include <sddl.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

std::wstring TestFolder()
{
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p(path, n);
    return p.substr(0, p.find_last_of(L'\\'));
}

std::wstring BuiltProgram(const wchar_t* name)
{
    std::wstring tests = TestFolder();
    return tests.substr(0, tests.find_last_of(L'\\')) + L"\\bin\\" + name;
}

std::wstring ShippedProgram(const wchar_t* name)
{
    return std::wstring(kShippedPrograms) + L"\\" + name;
}

std::wstring ProbeProgram()
{
    return TestFolder() + L"\\probe.exe";
}

namespace {

struct MessageSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindMessageBox(HWND window, LPARAM context)
{
    auto* search = reinterpret_cast<MessageSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t className[16];
    // A dialog with a button: other dialogs of the program (its own windows) are left alone.
    if (owner == search->processId && IsWindowVisible(window) && GetClassNameW(window, className, 16) &&
        std::wstring(className) == L"#32770" && FindWindowExW(window, nullptr, L"Button", nullptr)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK LongestStaticText(HWND child, LPARAM context)
{
    auto* text = reinterpret_cast<std::wstring*>(context);
    wchar_t className[16];
    if (GetClassNameW(child, className, 16) && lstrcmpiW(className, L"Static") == 0) {
        wchar_t buffer[4096];
        int n = GetWindowTextW(child, buffer, 4096);
        if (n > int(text->size())) text->assign(buffer, size_t(n));
    }
    return TRUE;
}

// Reads and closes a message box of the process, if one is open.
bool CloseMessageBox(DWORD processId, std::vector<SeenMessage>* seen)
{
    MessageSearch search = {processId, nullptr};
    EnumWindows(FindMessageBox, reinterpret_cast<LPARAM>(&search));
    if (!search.found) return false;
    SeenMessage message;
    wchar_t caption[512];
    message.caption.assign(caption, size_t(GetWindowTextW(search.found, caption, 512)));
    EnumChildWindows(search.found, LongestStaticText, reinterpret_cast<LPARAM>(&message.text));
    seen->push_back(message);
    PostMessageW(search.found, WM_COMMAND, IDOK, 0);
    // Wait until it is gone, so that it is not read twice.
    for (int i = 0; i < 100 && IsWindow(search.found) && IsWindowVisible(search.found); ++i) Sleep(20);
    return true;
}

}  // namespace

ProcessResult RunProgram(const std::wstring& commandLine, const std::wstring& folder, DWORD timeoutMs)
{
    return RunProgramAs(L"", commandLine, folder, timeoutMs);
}

ProcessResult RunProgramAs(const std::wstring& program, const std::wstring& commandLine, const std::wstring& folder,
                           DWORD timeoutMs)
{
    ProcessResult result;
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::wstring line = commandLine;
    if (!CreateProcessW(program.empty() ? nullptr : program.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &si, &pi))
        return result;
    result.started = true;
    DWORD start = GetTickCount();
    for (;;) {
        if (WaitForSingleObject(pi.hProcess, 50) == WAIT_OBJECT_0) {
            result.ended = true;
            GetExitCodeProcess(pi.hProcess, &result.exitCode);
            break;
        }
        if (GetTickCount() - start > timeoutMs) {
            TerminateProcess(pi.hProcess, 1);
            break;
        }
        CloseMessageBox(pi.dwProcessId, &result.messages);
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return result;
}

void PumpMessages(DWORD ms)
{
    DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(5);
    } while (GetTickCount() - start < ms);
}

std::string ProgramFile::Resource(const wchar_t* type, const wchar_t* name, WORD language) const
{
    HRSRC found = module_ ? FindResourceExW(module_, type, name, language) : nullptr;
    if (!found) return std::string();
    const char* data = static_cast<const char*>(LockResource(LoadResource(module_, found)));
    return std::string(data, SizeofResource(module_, found));
}

MessageBoxCloser::MessageBoxCloser()
    : stop_(false), thread_([this] {
          while (!stop_) {
              CloseMessageBox(GetCurrentProcessId(), &seen_);
              Sleep(50);
          }
      })
{
}

MessageBoxCloser::~MessageBoxCloser()
{
    stop_ = true;
    thread_.join();
}

ScratchFolder::ScratchFolder()
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    static unsigned counter = 0;
    for (;;) {
        path_ = std::wstring(temp) + L"vt" + std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(++counter);
        if (CreateDirectoryW(path_.c_str(), nullptr)) break;
    }
}

ScratchFolder::~ScratchFolder()
{
    // Links are removed as links; remove_all does not follow them.
    std::error_code ignored;
    for (auto& entry : fs::recursive_directory_iterator(path_, ignored))
        SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    fs::remove_all(path_, ignored);
}

void WriteBytes(const std::wstring& path, const std::string& bytes)
{
    std::ofstream out(fs::path(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

std::string ReadBytes(const std::wstring& path)
{
    std::ifstream in(fs::path(path), std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

bool PathExists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring CurrentFolder()
{
    wchar_t path[MAX_PATH * 2];
    DWORD n = GetCurrentDirectoryW(MAX_PATH * 2, path);
    return std::wstring(path, n);
}

std::vector<ProbeRun> ReadProbeRecords(const std::wstring& recordPath)
{
    std::string bytes = ReadBytes(recordPath);
    std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
    std::vector<ProbeRun> runs;
    bool inEnvironment = false;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find(L"\r\n", at);
        if (end == std::wstring::npos) end = text.size();
        std::wstring line = text.substr(at, end - at);
        at = end + 2;
        if (line == L"[run]") {
            runs.emplace_back();
            inEnvironment = false;
        } else if (!runs.empty() && line == L"[ended]") {
            runs.back().ended = true;
        } else if (runs.empty() || line == L"[end]") {
            inEnvironment = false;
        } else if (inEnvironment) {
            runs.back().environment.push_back(line);
        } else if (line.rfind(L"program=", 0) == 0) {
            runs.back().program = line.substr(8);
        } else if (line.rfind(L"commandLine=", 0) == 0) {
            runs.back().commandLine = line.substr(12);
        } else if (line.rfind(L"registry=", 0) == 0) {
            runs.back().registry = line.substr(9);
        } else if (line.rfind(L"currentFolder=", 0) == 0) {
            runs.back().currentFolder = line.substr(14);
        } else if (line == L"environment") {
            inEnvironment = true;
        }
    }
    return runs;
}

std::vector<ProbeRun> WaitForProbeRuns(const std::wstring& recordPath, size_t count, bool ended, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        std::vector<ProbeRun> runs = ReadProbeRecords(recordPath);
        bool done = runs.size() >= count && (!ended || runs.empty() || runs.back().ended);
        if (done || GetTickCount() - start > timeoutMs) return runs;
        Sleep(50);
    }
}

std::wstring SystemTemp()
{
    wchar_t root[MAX_PATH];
    DWORD n = GetEnvironmentVariableW(L"SystemRoot", root, MAX_PATH);
    return std::wstring(root, n < MAX_PATH ? n : 0) + L"\\Temp";
}

std::string UnixPath(const std::wstring& windowsPath)
{
    typedef char*(CDECL * ToUnix)(const wchar_t*);
    auto toUnix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix) return std::string();
    char* unix = toUnix(windowsPath.c_str());
    if (!unix) return std::string();
    std::string result(unix);
    HeapFree(GetProcessHeap(), 0, unix);
    return result;
}

int RunUnixProgram(const std::string& program, const std::vector<std::string>& arguments)
{
    // Wine starts a Unix program when CreateProcess is given its DOS name on Z:.
    std::string line = "Z:" + program;
    for (char& c : line)
        if (c == '/') c = '\\';
    for (const std::string& a : arguments) line += " \"" + a + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return -1;
    WaitForSingleObject(pi.hProcess, 30000);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return int(code);
}

bool MakeSymbolicLink(const std::wstring& target, const std::wstring& link)
{
    std::string unixTarget = UnixPath(target);
    std::string unixLink = UnixPath(link);
    if (unixTarget.empty() || unixLink.empty()) return false;
    // Wine reports no usable exit code for a Unix program: wait for the link instead.
    if (RunUnixProgram("/bin/ln", {"-s", unixTarget, unixLink}) == -1) return false;
    for (int i = 0; i < 100 && !PathExists(link); ++i) Sleep(50);
    return PathExists(link);
}

bool IsPrivateDescriptor(PSECURITY_DESCRIPTOR descriptor)
{
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    if (!descriptor || !GetSecurityDescriptorControl(descriptor, &control, &revision) ||
        !(control & SE_DACL_PROTECTED) || !GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted) ||
        !present || !dacl || dacl->AceCount != 2)
        return false;
    bool administrators = false, system = false;
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        ACCESS_ALLOWED_ACE* ace = nullptr;
        if (!GetAce(dacl, i, reinterpret_cast<void**>(&ace)) || ace->Header.AceType != ACCESS_ALLOWED_ACE_TYPE ||
            ace->Mask != FILE_ALL_ACCESS)
            return false;
        PSID sid = &ace->SidStart;
        administrators |= IsWellKnownSid(sid, WinBuiltinAdministratorsSid) != FALSE;
        system |= IsWellKnownSid(sid, WinLocalSystemSid) != FALSE;
    }
    return administrators && system;
}

std::wstring DescriptorText(PSECURITY_DESCRIPTOR descriptor)
{
    wchar_t* text = nullptr;
    if (!descriptor || !ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor, SDDL_REVISION_1,
                                                                             DACL_SECURITY_INFORMATION, &text, nullptr))
        return L"<none>";
    std::wstring result = text;
    LocalFree(text);
    return result;
}

namespace {

const wchar_t kWineDllOverrides[] = L"Software\\Wine\\DllOverrides";

}  // namespace

PlantedDlls::PlantedDlls(const std::wstring& folder, const std::vector<std::wstring>& names)
    : folder_(folder), names_(names)
{
    for (const std::wstring& name : names_) {
        placed_ &= CopyFileW((TestFolder() + L"\\planted.dll").c_str(), (folder_ + L"\\" + name + L".dll").c_str(),
                             FALSE) != FALSE;
        placed_ &= RegSetKeyValueW(HKEY_CURRENT_USER, kWineDllOverrides, name.c_str(), REG_SZ, L"native,builtin",
                                   sizeof L"native,builtin") == ERROR_SUCCESS;
    }
}

PlantedDlls::~PlantedDlls()
{
    for (const std::wstring& name : names_) RegDeleteKeyValueW(HKEY_CURRENT_USER, kWineDllOverrides, name.c_str());
}

std::vector<std::wstring> PlantedDlls::Loaded() const
{
    std::vector<std::wstring> loaded;
    for (const std::wstring& name : names_)
        if (PathExists(folder_ + L"\\" + name + L".dll.loaded")) loaded.push_back(name);
    return loaded;
}
