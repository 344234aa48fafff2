// Helpers of the disc menu's tests: registry values put back after a test,
// per-program Windows versions under Wine, narrow texts.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support.h"

// Text of the system code page, as setup uses it.
inline std::string Narrow(const std::wstring& text)
{
    char out[MAX_PATH * 4];
    int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, out, sizeof out, nullptr, nullptr);
    return n > 0 ? std::string(out) : std::string();
}

// A registry value as it was when the guard was made, restored (or removed
// again) when the guard ends. The key is created if it is missing.
class RegistryValueBackup {
public:
    RegistryValueBackup(HKEY root, const std::string& keyPath, const char* valueName)
        : root_(root), keyPath_(keyPath), valueName_(valueName ? valueName : "")
    {
        HKEY key;
        if (RegOpenKeyExA(root_, keyPath_.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
        DWORD size = 0;
        if (RegQueryValueExA(key, Name(), nullptr, &type_, nullptr, &size) == ERROR_SUCCESS) {
            data_.resize(size);
            existed_ = RegQueryValueExA(key, Name(), nullptr, &type_, reinterpret_cast<BYTE*>(&data_[0]), &size) ==
                       ERROR_SUCCESS;
            data_.resize(size);
        }
        RegCloseKey(key);
    }
    ~RegistryValueBackup()
    {
        HKEY key;
        if (RegCreateKeyA(root_, keyPath_.c_str(), &key) != ERROR_SUCCESS) return;
        if (existed_)
            RegSetValueExA(key, Name(), 0, type_, reinterpret_cast<const BYTE*>(data_.data()), DWORD(data_.size()));
        else
            RegDeleteValueA(key, Name());
        RegCloseKey(key);
    }
    RegistryValueBackup(const RegistryValueBackup&) = delete;
    RegistryValueBackup& operator=(const RegistryValueBackup&) = delete;

    // Writes the value (REG_SZ unless a type is given); removes it for null data.
    void Set(const std::string* data, DWORD type = REG_SZ) const
    {
        HKEY key;
        if (RegCreateKeyA(root_, keyPath_.c_str(), &key) != ERROR_SUCCESS) return;
        if (data)
            RegSetValueExA(key, Name(), 0, type, reinterpret_cast<const BYTE*>(data->data()),
                           DWORD(data->size() + (type == REG_SZ ? 1 : 0)));
        else
            RegDeleteValueA(key, Name());
        RegCloseKey(key);
    }
    void Set(const std::string& text) const { Set(&text); }
    void Remove() const { Set(nullptr); }

    // The current value, or nothing when it does not exist.
    bool Get(std::string* data) const
    {
        HKEY key;
        if (RegOpenKeyExA(root_, keyPath_.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
        DWORD size = 0, type = 0;
        bool found = RegQueryValueExA(key, Name(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS;
        if (found) {
            data->assign(size, '\0');
            found = RegQueryValueExA(key, Name(), nullptr, &type, reinterpret_cast<BYTE*>(&(*data)[0]), &size) ==
                    ERROR_SUCCESS;
            data->resize(size);
        }
        RegCloseKey(key);
        return found;
    }

private:
    const char* Name() const { return valueName_.empty() ? nullptr : valueName_.c_str(); }
    HKEY root_;
    std::string keyPath_;
    std::string valueName_;
    bool existed_ = false;
    DWORD type_ = REG_SZ;
    std::string data_;
};

// Makes Wine report `version` (win95, nt40, winxp, ...) to programs named
// `program` for the life of the guard.
class WineVersionFor {
public:
    WineVersionFor(const std::string& program, const char* version)
        : value_(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\" + program, "Version")
    {
        value_.Set(version);
    }

private:
    RegistryValueBackup value_;
};

// The multi-string list as separate strings.
inline std::vector<std::string> SplitMultiString(const std::string& data)
{
    std::vector<std::string> items;
    size_t at = 0;
    while (at < data.size() && data[at]) {
        size_t end = data.find('\0', at);
        if (end == std::string::npos) end = data.size();
        items.push_back(data.substr(at, end - at));
        at = end + 1;
    }
    return items;
}

inline std::string MultiString(const std::vector<std::string>& items)
{
    std::string data;
    for (const std::string& item : items) data += item + '\0';
    return data + '\0';
}

const char kAssistantKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Compatibility Assistant";
const char kVersionKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion";

// setup.exe and probes named entry1.exe to entry3.exe in a scratch folder;
// every probe run is recorded in one file.
class SetupDiscFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        setup_ = scratch_ / L"setup.exe";
        ASSERT_TRUE(CopyFileW(BuiltProgram(L"setup.exe").c_str(), setup_.c_str(), FALSE));
        for (const wchar_t* name : {L"entry1.exe", L"entry2.exe", L"entry3.exe"})
            ASSERT_TRUE(CopyFileW(ProbeProgram().c_str(), (scratch_ / name).c_str(), FALSE));
        record_ = scratch_ / L"runs.record";
        SetEnvironmentVariableW(L"PROBE_RECORD", record_.c_str());
    }
    void TearDown() override { SetEnvironmentVariableW(L"PROBE_RECORD", nullptr); }

    // The probe runs once `expected` have come and ended; with none expected,
    // what came within a second.
    std::vector<ProbeRun> Runs(size_t expected)
    {
        if (expected == 0) {
            Sleep(1000);
            return ReadProbeRecords(record_);
        }
        return WaitForProbeRuns(record_, expected, true, 5000);
    }
    static std::wstring ProgramOf(const ProbeRun& run) { return run.program.substr(run.program.find_last_of(L'\\') + 1); }

    ScratchFolder scratch_;
    std::wstring setup_, record_;
};
