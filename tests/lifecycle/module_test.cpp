#include <winsock2.h>

#include <gtest/gtest.h>

#include "lifecycle/module.h"
#include "ports/port_table.h"
#include "support/debug_output.h"
#include "support/platform.h"
#include "support/registry_sandbox.h"

namespace {
// Winsock is started in this process exactly when a socket can be made.
bool WinsockStarted()
{
    SOCKET s = socket(AF_INET, SOCK_DGRAM, 0);
    return s != INVALID_SOCKET ? closesocket(s), true : WSAGetLastError() != WSANOTINITIALISED;
}
}  // namespace

// Runs under each emulated Windows version. IsNtAbove4 is only ever set.
TEST(ModulePlatform, FlagsAndLineFollowTheRunningVersion)
{
    ASSERT_EQ(ExpectedPlatform(), RunningPlatform()) << "version emulation did not apply";
    bool win9x = RunningPlatform() == TestPlatform::Win9x;
    IsWin9x = IsNtAbove4 = 7;
    DebugOutput debug;
    ASSERT_TRUE(DetectPlatform());
    EXPECT_EQ((std::vector<DWORD>{win9x, RunningPlatform() == TestPlatform::Nt5Plus ? 1u : 7u}),
              (std::vector<DWORD>{IsWin9x, IsNtAbove4}));
    EXPECT_EQ(std::vector<std::string>{win9x ? "TOLMARIN: Hosting Windows platform is 95/98.\n"
                                             : "TOLMARIN: Hosting Windows platform is NT.\n"},
              debug.Lines());
}

// A stored count of -2 refuses the attach and stops Winsock again; the detach the runtime then reports
// releases nothing. A good attach loads the table; its detach frees it once.
TEST(ModuleLifecycle, AttachAndDetach)
{
    HINSTANCE self = GetModuleHandleA(nullptr);
    SetDword(HKEY_LOCAL_MACHINE, TablePath, "Num_Entries", 0xFFFFFFFE);
    EXPECT_FALSE(ModuleAttach(self));
    EXPECT_FALSE(WinsockStarted());
    {
        DebugOutput refused;
        ModuleDetach();
        EXPECT_EQ(0u, refused.Lines().size());
    }
    SetDword(HKEY_LOCAL_MACHINE, TablePath, "Num_Entries", 1);
    SetDword(HKEY_LOCAL_MACHINE, EntryPath(0), "Type", 1);
    ASSERT_TRUE(ModuleAttach(self));
    EXPECT_EQ(1, PortTable.count);
    EXPECT_TRUE(WinsockStarted());
    DebugOutput debug;
    ModuleDetach();
    ModuleDetach();
    EXPECT_EQ(std::vector<std::string>{"TOLMARIN: cleaning up...\n"}, debug.Lines());
    EXPECT_EQ(0, PortTable.count);
    EXPECT_FALSE(WinsockStarted());
    ModuleInstance = nullptr;
    DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
}
