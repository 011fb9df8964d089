// The faults the random Port Tables found, each as a fixed case.
#include <windows.h>

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>

#include "ports/kinds/bdt_text.h"
#include "ports/port_table.h"
#include "resource.h"
#include "support/registry_sandbox.h"
#include "tolmarin.h"
#include "ui/port_table_dialog.h"

// A broadcast distribution entry read from a damaged stored text held
// "/UDP:" in its IP text; stored as it was, the next load read that as the
// port, so a second save wrote another entry than the first. A text that
// would not read back is stored empty; the stored text reads back the same.
TEST(FoundCases, StoredBdtEntryReadsBackTheSame)
{
    const struct {
        BdtEntry entry;
        const char* stored;
    } cases[] = {
        {{"10.0.0.1 /UDP:", "0xBAC0", ""}, "/IP:\"\" /UDP:\"0xBAC0\" /SUBNET:\"\""},
        {{"10.0.0.1", "47808", "x-SUBNET:"}, "/IP:\"10.0.0.1\" /UDP:\"47808\" /SUBNET:\"\""},
        {{"10.0.0.1\"", "-1", "255.255.255.0"}, "/IP:\"\" /UDP:\"\" /SUBNET:\"255.255.255.0\""},
        {{"10.0.0.1", "0xBAC0", "255.255.255.0"},
         "/IP:\"10.0.0.1\" /UDP:\"0xBAC0\" /SUBNET:\"255.255.255.0\""},
    };
    for (const auto& c : cases) {
        char first[80], second[80];
        ASSERT_TRUE(FormatBdtEntry(c.entry, first, sizeof(first)));
        EXPECT_STREQ(c.stored, first);
        ASSERT_TRUE(FormatBdtEntry(ParseBdtEntry(first), second, sizeof(second)));
        EXPECT_STREQ(first, second);
    }
}

// A full table (a count of 300 loads 255 entries) in the embedded dialog:
// its list was redrawn at every row it was filled with, which kept a load
// or a reload busy for seconds (counted as hung by the soak on a busy
// machine). Filled without drawing, it takes a fraction of a second.
TEST(FoundCases, FullTableFillsTheEmbeddedDialogAtOnce)
{
    DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
    StoreEntryCount(300);
    LoadPortTable();
    const DLGTEMPLATE* dialogTemplate = nullptr;
    ASSERT_TRUE(OrvantaPropertiesIoctl(TOLMARIN_IOCTL_GET_DIALOG_TEMPLATE, &dialogTemplate));
    DWORD start = GetTickCount();
    HWND dialog = CreateDialogIndirectParamA(nullptr, dialogTemplate, nullptr, PortTableDialogProc, 0);
    OrvantaPropertiesIoctl(TOLMARIN_IOCTL_RELOAD, nullptr);
    EXPECT_LT(GetTickCount() - start, 1500u);
    EXPECT_EQ(PortTable.count, SendDlgItemMessageA(dialog, IDC_PORT_LIST, LVM_GETITEMCOUNT, 0, 0));
    EXPECT_GT(PortTable.count, 250);
    DestroyWindow(dialog);
    FreePortTable();
    DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
}
