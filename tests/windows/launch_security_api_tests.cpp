// The run-time bound table: what it binds and what its call-throughs return.
#include <gtest/gtest.h>

#include "launch_support.h"

namespace {

TEST(SecurityApi, BindsEveryFunctionOfTheWideForm)
{
    EXPECT_EQ(SecurityApi::kWideForms, securityApi.form);
    EXPECT_NE(nullptr, securityApi.advapi32);
    EXPECT_NE(nullptr, securityApi.user32);
    for (int i = 0; i < SecurityApi::kSlotCount; ++i) EXPECT_NE(nullptr, securityApi.slots[i]) << "slot " << i;
    EXPECT_EQ(reinterpret_cast<FARPROC>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "OpenWindowStationW")),
              securityApi.slots[SecurityApi::kOpenWindowStation]);
}

TEST(SecurityApi, CallThroughsReturnWhatThePlatformReturns)
{
    std::vector<BYTE> sid = LogonSid(7);
    EXPECT_EQ(GetLengthSid(sid.data()), securityApi.GetLengthSid(sid.data()));

    // A failing call: result and last-error value are the platform's own.
    BYTE small[4];
    SetLastError(0xdeadbeef);
    BOOL platform = CopySid(sizeof small, small, sid.data());
    DWORD platformError = GetLastError();
    SetLastError(0xdeadbeef);
    EXPECT_EQ(platform, securityApi.CopySid(sizeof small, small, sid.data()));
    EXPECT_EQ(platformError, GetLastError());

    EXPECT_EQ(GetProcessWindowStation(), securityApi.GetProcessWindowStation());
    HWINSTA station = securityApi.OpenWindowStationW(L"winsta0", FALSE, READ_CONTROL | WRITE_DAC);
    ASSERT_NE(nullptr, station);
    EXPECT_TRUE(securityApi.CloseWindowStation(station));
}

TEST(SecurityApi, UnboundSlotsFailWithNotBoundErrorAndTheirFailureValue)
{
    SlotSubstitution token(SecurityApi::kOpenProcessToken);
    SlotSubstitution length(SecurityApi::kGetLengthSid);
    SlotSubstitution station(SecurityApi::kGetProcessWindowStation);

    HANDLE handle = nullptr;
    SetLastError(0);
    EXPECT_FALSE(securityApi.OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &handle));
    EXPECT_EQ(NotBoundError, GetLastError());
    SetLastError(0);
    std::vector<BYTE> sid = LogonSid(7);
    EXPECT_EQ(0xFFFFFFFFu, securityApi.GetLengthSid(sid.data()));
    EXPECT_EQ(NotBoundError, GetLastError());
    SetLastError(0);
    EXPECT_EQ(nullptr, securityApi.GetProcessWindowStation());
    EXPECT_EQ(NotBoundError, GetLastError());
}

TEST(SecurityApi, TheOtherFormOfAnOpenFunctionIsNotBound)
{
    SetLastError(0);
    EXPECT_EQ(nullptr, securityApi.OpenWindowStationA("winsta0", FALSE, READ_CONTROL));
    EXPECT_EQ(NotBoundError, GetLastError());
    SetLastError(0);
    EXPECT_EQ(nullptr, securityApi.OpenDesktopA("default", 0, FALSE, READ_CONTROL));
    EXPECT_EQ(NotBoundError, GetLastError());
}

}  // namespace
