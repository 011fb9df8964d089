#include <gtest/gtest.h>

#include "registry/reg_key.h"
#include "support/registry_sandbox.h"

TEST(RegKeyPaths, EmptyPathYieldsRoot)
{
    EXPECT_EQ(HKEY_CURRENT_USER, RegKey::OpenKeyPath(HKEY_CURRENT_USER, ""));
    EXPECT_EQ(HKEY_CURRENT_USER, RegKey::CreateKeyPath(HKEY_CURRENT_USER, ""));
}
