// The module's platform detection, attach and detach, linked into the test program.
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
TEST(ModulePlatform, FlagsFollowTheRunningVersion)
{
    ASSERT_EQ(ExpectedPlatform(), RunningPlatform()) << "version emulation did not apply";
    IsWin9x = IsNtAbove4 = 7;
    ASSERT_TRUE(DetectPlatform());
    EXPECT_EQ((std::vector<DWORD>{RunningPlatform() == TestPlatform::Win9x,
                                  RunningPlatform() == TestPlatform::Nt5Plus ? 1u : 7u}),
              (std::vector<DWORD>{IsWin9x, IsNtAbove4}));
}

// Count -2 refuses the attach, Winsock stopped, nothing freed; a good attach loads, its detach frees once.
TEST(ModuleLifecycle, AttachAndDetach)
{
    HINSTANCE self = GetModuleHandleA(nullptr);
    DebugOutput debug;
    SetDword(HKEY_LOCAL_MACHINE, TablePath, "Num_Entries", 0xFFFFFFFE);
    std::string seen = std::to_string(ModuleAttach(self));
    seen += std::to_string(WinsockStarted()) + " ";
    ModuleDetach();
    SetDword(HKEY_LOCAL_MACHINE, TablePath, "Num_Entries", 1);
    SetDword(HKEY_LOCAL_MACHINE, EntryPath(0), "Type", 1);
    seen += std::to_string(ModuleAttach(self));
    seen += std::to_string(PortTable.count) + std::to_string(WinsockStarted());
    ModuleDetach(), ModuleDetach();
    const std::vector<std::string>& lines = debug.Lines();
    EXPECT_EQ("00 111 00 1",
              seen + " " + std::to_string(PortTable.count) + std::to_string(WinsockStarted()) + " " +
                  std::to_string(std::count(lines.begin(), lines.end(), "TOLMARIN: cleaning up...\n")));
    ModuleInstance = nullptr;
    DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
}
