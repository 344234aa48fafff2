// The launcher as a user gets it, on a scratch machine: shared by the
// black-box tests of the launch, the Java installation and the private runtime.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support.h"

const wchar_t kJavaKey[] = L"SOFTWARE\\JavaSoft\\Java Runtime Environment";
const wchar_t kUninstallKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const wchar_t kProductKeyName[] = L"5C2D8E4A9B7F1E3D6A0C4B8F2E7D9A15-R1";
const wchar_t kInstallerArguments[] =
    L" /v/qn&quot;ADDLOCAL=jrecore,extra IEXPLORER=1 NETSCAPE6=1 MOZILLA=1 WEBSTARTICON=0&quot;";
const wchar_t kMessage1Start[] = L"Java Runtime Environment in your system is outdated or not installed properly.";

inline std::wstring FullPath(const std::wstring& path)
{
    wchar_t full[MAX_PATH];
    GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    return full;
}

// A launcher variant of this build carrying payloads.
inline std::wstring Variant(const wchar_t* name)
{
    return FullPath(TestFolder() + L"\\..\\variants\\" + name + L"\\wizstart.exe");
}

// Registry views. The launcher reads Java's keys and the uninstall entries it
// enumerates in the default view of a program of its architecture (the test's
// too), and the product's own uninstall key in the 32-bit view, where the
// product's 32-bit installer writes it. Under 32-bit Wine there is one view.
const REGSAM kDefaultView = 0;
const REGSAM kProductView = KEY_WOW64_32KEY;

inline void SetMachineString(const std::wstring& key, const wchar_t* value, const std::wstring& data,
                             REGSAM view = kDefaultView)
{
    HKEY k;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_WRITE | view, nullptr, &k, nullptr));
    RegSetValueExW(k, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                   DWORD((data.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(k);
}

inline void DeleteMachineKey(const std::wstring& key, REGSAM view = kDefaultView)
{
    HKEY k;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_ALL_ACCESS | view, &k) == ERROR_SUCCESS) {
        RegDeleteTreeW(k, nullptr);
        RegCloseKey(k);
    }
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), view, 0);
}

inline bool EndsWith(const std::wstring& text, const std::wstring& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// A scratch machine: the launcher in a folder with a blank in its name, a Java
// home (also with a blank) whose javaw.exe is the probe, and no Java, product
// or Java 6 uninstall entry registered until a test says so.
class LauncherRun : public ::testing::Test {
protected:
    ScratchFolder scratch;
    std::wstring app = scratch / L"Orvalen Setup";
    std::wstring javaHome = scratch / L"Java Home";
    std::wstring record = scratch / L"record.txt";
    std::wstring uninstallFolder = scratch / L"Orvalen\\Uninstall";
    const std::vector<std::wstring> uninstallEntries = {
        L"{0A1B2C3D-JAVA7}", L"{26A24AE4-039D-4CA4-87B4-2F83216016FF}", L"{F9E8D7C6-JAVA6-OLDER}"};

    void SetUp() override
    {
        ClearRegistry();
        CreateDirectoryW(app.c_str(), nullptr);
        CreateDirectoryW(javaHome.c_str(), nullptr);
        CreateDirectoryW((javaHome + L"\\bin").c_str(), nullptr);
        ASSERT_TRUE(CopyFileW(ProbeProgram().c_str(), (javaHome + L"\\bin\\javaw.exe").c_str(), FALSE));
        SetEnvironmentVariableW(L"PROBE_RECORD", record.c_str());
    }
    void TearDown() override
    {
        SetEnvironmentVariableW(L"PROBE_RECORD", nullptr);
        SetEnvironmentVariableW(L"PROBE_REGISTER", nullptr);
        ClearRegistry();
    }
    void ClearRegistry()
    {
        DeleteMachineKey(kJavaKey);
        DeleteMachineKey(std::wstring(kUninstallKey) + L"\\" + kProductKeyName, kProductView);
        for (const auto& entry : uninstallEntries) DeleteMachineKey(std::wstring(kUninstallKey) + L"\\" + entry);
    }

    void RegisterJava(const std::wstring& version)
    {
        SetMachineString(kJavaKey, L"CurrentVersion", version);
        RegisterJavaHome(version);
    }
    void RegisterJavaHome(const std::wstring& version)
    {
        SetMachineString(std::wstring(kJavaKey) + L"\\" + version, L"JavaHome", javaHome);
    }
    std::wstring JavaProgram() const { return L"\"" + javaHome + L"\\bin\\javaw.exe\""; }

    void Install(const std::wstring& launcher)
    {
        ASSERT_TRUE(CopyFileW(launcher.c_str(), (app + L"\\wizstart.exe").c_str(), FALSE));
    }
    void Place(const wchar_t* name, const std::string& content = "x") { WriteBytes(app + L"\\" + name, content); }
    void PlaceProbe(const std::wstring& path, const char* ini = nullptr)
    {
        ASSERT_TRUE(CopyFileW(ProbeProgram().c_str(), path.c_str(), FALSE));
        if (ini) WriteBytes(path + L".ini", ini);
    }

    // Started from the scratch folder, so that the folder the wizard sees is
    // the one the launcher chose.
    ProcessResult Launch(const std::wstring& arguments = L"")
    {
        return RunProgram(L"\"" + app + L"\\wizstart.exe\"" + arguments, scratch.Path());
    }
    std::vector<ProbeRun> Runs(const std::wstring& programEnd)
    {
        std::vector<ProbeRun> out;
        for (const auto& run : ReadProbeRecords(record))
            if (EndsWith(run.program, programEnd)) out.push_back(run);
        return out;
    }
};
