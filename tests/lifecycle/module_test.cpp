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
    if (s == INVALID_SOCKET)
        return WSAGetLastError() != WSANOTINITIALISED;
    closesocket(s);
    return true;
}

class ModuleLifecycle : public ::testing::Test {
protected:
    void SetUp() override { DeleteTree(HKEY_LOCAL_MACHINE, TablePath); }
    void TearDown() override
    {
        ModuleDetach();
        DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
    }
};

}  // namespace

// Runs under each emulated Windows version. IsNtAbove4 is only ever set.
TEST(ModulePlatform, FlagsAndLineFollowTheRunningVersion)
{
    ASSERT_EQ(ExpectedPlatform(), RunningPlatform()) << "version emulation did not apply";
    bool win9x = RunningPlatform() == TestPlatform::Win9x;
    IsWin9x = 7;
    IsNtAbove4 = 7;
    DebugOutput debug;
    ASSERT_TRUE(DetectPlatform());
    EXPECT_EQ(win9x ? 1u : 0u, IsWin9x);
    EXPECT_EQ(RunningPlatform() == TestPlatform::Nt5Plus ? 1 : 7, IsNtAbove4);
    EXPECT_EQ(std::vector<std::string>{win9x ? "TOLMARIN: Hosting Windows platform is 95/98.\n"
                                             : "TOLMARIN: Hosting Windows platform is NT.\n"},
              debug.Lines());
}

TEST_F(ModuleLifecycle, AttachLoadsTableAndDetachFreesIt)
{
    SetDword(HKEY_LOCAL_MACHINE, TablePath, "Num_Entries", 1);
    SetDword(HKEY_LOCAL_MACHINE, EntryPath(0), "Type", 1);
    ASSERT_FALSE(WinsockStarted());
    HINSTANCE self = GetModuleHandleA(nullptr);
    ASSERT_TRUE(ModuleAttach(self));
    EXPECT_EQ(self, ModuleInstance);
    EXPECT_EQ(1, PortTable.count);
    EXPECT_TRUE(WinsockStarted());
    DebugOutput debug;
    ModuleDetach();
    EXPECT_EQ(std::vector<std::string>{"TOLMARIN: cleaning up...\n"}, debug.Lines());
    EXPECT_EQ(0, PortTable.count);
    EXPECT_FALSE(WinsockStarted());
    ModuleDetach();  // a second detach does nothing
    EXPECT_EQ(std::vector<std::string>{"TOLMARIN: cleaning up...\n"}, debug.Lines());
    ModuleInstance = nullptr;
}

TEST_F(ModuleLifecycle, NegativeCountRefusesAttachAndStopsWinsockAgain)
{
    SetDword(HKEY_LOCAL_MACHINE, TablePath, "Num_Entries", 0xFFFFFFFE);
    WSADATA data;
    ASSERT_EQ(0, WSAStartup(MAKEWORD(2, 0), &data));  // this program's own use
    EXPECT_FALSE(ModuleAttach(GetModuleHandleA(nullptr)));
    // The runtime then reports a detach; it must not stop Winsock a second
    // time, which would end this program's own use of it.
    DebugOutput debug;
    ModuleDetach();
    EXPECT_EQ(std::vector<std::string>{}, debug.Lines()) << "nothing to clean up";
    EXPECT_TRUE(WinsockStarted());
    WSACleanup();
    EXPECT_FALSE(WinsockStarted());
    ModuleInstance = nullptr;
}
