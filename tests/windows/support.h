// Shared helpers of the Windows tests: built programs, child processes, scratch
// folders, probe records and Unix-side links under Wine.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

// The folder of the running test program (build/windows/testbin).
std::wstring TestFolder();
// A program of this build (build/windows/bin/NAME, or build/windows-x64/bin/NAME),
// for the tests that run it.
std::wstring BuiltProgram(const wchar_t* name);
// The shipped 32-bit program NAME (build/windows/bin/NAME), for the tests that
// only read its file: the same as BuiltProgram in a 32-bit build.
std::wstring ShippedProgram(const wchar_t* name);
// The probe child program.
std::wstring ProbeProgram();

// A message box that a program showed: its caption and its text.
struct SeenMessage {
    std::wstring caption;
    std::wstring text;
};

struct ProcessResult {
    bool started = false;
    bool ended = false;
    DWORD exitCode = 0;
    std::vector<SeenMessage> messages;  // in the order they came, each closed with OK
};
// Starts the command line (in `folder` when given) and waits for it to end.
// Meanwhile it reads and closes every message box the program shows.
ProcessResult RunProgram(const std::wstring& commandLine, const std::wstring& folder = L"",
                         DWORD timeoutMs = 60000);
// The same with the program named apart from its command line (whose first
// element is then whatever the starter wrote).
ProcessResult RunProgramAs(const std::wstring& program, const std::wstring& commandLine,
                           const std::wstring& folder = L"", DWORD timeoutMs = 60000);

// Handles this thread's window messages for a while (windows under test may
// live in this thread).
void PumpMessages(DWORD ms = 150);

// A built program's resources, read from its file without running it.
class ProgramFile {
public:
    explicit ProgramFile(const std::wstring& path)
        : module_(LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
    ~ProgramFile()
    {
        if (module_) FreeLibrary(module_);
    }
    ProgramFile(const ProgramFile&) = delete;
    ProgramFile& operator=(const ProgramFile&) = delete;
    HMODULE Module() const { return module_; }
    // The resource's bytes in that language (US English unless named), or
    // empty when there is none.
    std::string Resource(const wchar_t* type, const wchar_t* name,
                         WORD language = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)) const;

private:
    HMODULE module_;
};

// For the length of a scope, reads and closes every message box that this
// process itself shows (code under test that runs in the test program).
class MessageBoxCloser {
public:
    MessageBoxCloser();
    ~MessageBoxCloser();
    MessageBoxCloser(const MessageBoxCloser&) = delete;
    MessageBoxCloser& operator=(const MessageBoxCloser&) = delete;
    std::vector<SeenMessage> Seen() const { return seen_; }

private:
    std::atomic<bool> stop_;
    std::vector<SeenMessage> seen_;
    std::thread thread_;
};

// A new empty folder under the user's TEMP, removed with all it holds at the end.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::wstring& Path() const { return path_; }
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

void WriteBytes(const std::wstring& path, const std::string& bytes);
std::string ReadBytes(const std::wstring& path);
bool PathExists(const std::wstring& path);
std::wstring CurrentFolder();

// What the probe recorded in one run.
struct ProbeRun {
    std::wstring program;                    // the probe's own path
    std::wstring commandLine;
    std::wstring currentFolder;
    std::wstring registry;                   // the value asked for by PROBE_READ_REG
    std::vector<std::wstring> environment;   // NAME=value, in block order
    bool ended = false;                      // the probe had ended when the record was read
};
std::vector<ProbeRun> ReadProbeRecords(const std::wstring& recordPath);
// The runs once at least `count` are recorded and, with `ended`, the last has
// ended; what is recorded when `timeoutMs` have passed otherwise.
std::vector<ProbeRun> WaitForProbeRuns(const std::wstring& recordPath, size_t count, bool ended = true,
                                       DWORD timeoutMs = 10000);

// Copies of the test DLL that records being loaded (planted.dll), planted in
// `folder` under the given names, with Wine told to take a DLL found beside a
// program before its own (Windows' search order; Wine's default is the other
// way round) for the length of the scope.
class PlantedDlls {
public:
    PlantedDlls(const std::wstring& folder, const std::vector<std::wstring>& names);
    ~PlantedDlls();
    PlantedDlls(const PlantedDlls&) = delete;
    PlantedDlls& operator=(const PlantedDlls&) = delete;
    bool Placed() const { return placed_; }
    // The names of those that some program has loaded.
    std::vector<std::wstring> Loaded() const;

private:
    std::wstring folder_;
    std::vector<std::wstring> names_;
    bool placed_ = true;
};

// %SystemRoot%\Temp, the system's temporary folder.
std::wstring SystemTemp();

// The descriptor's access list is the launcher's private one: protected
// (nothing inherited), exactly two entries, full control for Administrators
// and for SYSTEM. (Wine keeps no access lists on files, so the launcher's
// descriptor is checked in memory.)
bool IsPrivateDescriptor(PSECURITY_DESCRIPTOR descriptor);
// The descriptor's access list as SDDL text, for messages.
std::wstring DescriptorText(PSECURITY_DESCRIPTOR descriptor);

// The Unix path of a Windows path (Wine only), or empty.
std::string UnixPath(const std::wstring& windowsPath);
// Runs a Unix program through Wine, for example /bin/ln, and waits for it.
// Returns -1 when it could not be started; Wine gives no reliable exit code.
int RunUnixProgram(const std::string& program, const std::vector<std::string>& arguments);
// Makes `link` a Unix symbolic link to `target`; false when that is not possible.
bool MakeSymbolicLink(const std::wstring& target, const std::wstring& link);
