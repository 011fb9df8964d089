// The ARCNET port: its parameter string, its entry as loaded and saved, and
// dialog 506 filled from ports and read back into candidates.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ports/kinds/com20020_port.h"
#include "ports/kinds/physical_port.h"
#include "ports/kinds/virtual_port.h"
#include "ports/port_dialog.h"
#include "ports/port_table.h"
#include "registry/reg_key.h"
#include "support/registry_sandbox.h"

namespace {

using Texts = std::vector<std::string>;
const std::string Defaults = "/ioport:0 /irq:0 /nodeid:0 /baud:\"2.5\" /naks:128 /extimeout:1";

// Every value written below path, sorted by name: numbers in decimal, texts
// in quotes.
Texts SavedValues(const std::string& path)
{
    Texts values;
    for (const std::string& name : SortedValueNames(HKEY_CURRENT_USER, path)) {
        DWORD type = 0;
        std::vector<BYTE> data;
        GetRaw(HKEY_CURRENT_USER, path, name.c_str(), &type, &data);
        data.push_back(0);
        values.push_back(name + "=" +
                         (type == REG_SZ ? '"' + std::string(reinterpret_cast<const char*>(data.data())) + '"'
                                         : std::to_string(GetDword(HKEY_CURRENT_USER, path, name.c_str()))));
    }
    return values;
}

Com20020Port Loaded(const std::string& info)
{
    RegistrySandbox entry("TolmarinArcnetLoaded");
    SetString(HKEY_CURRENT_USER, entry.Path(), Com20020Port::SecondaryInfoValue, info);
    return Com20020Port(RegReadKey(HKEY_CURRENT_USER, entry.Path().c_str()));
}

}  // namespace

// Stored options written back: out-of-range values normalised, damaged or
// overlong ones read as far as they go.
TEST(Com20020Info, StoredOptionsAreWrittenBackNormalised)
{
    const std::pair<const char*, std::string> rows[] = {
        {"", Defaults},
        {"/ioport:0x2e0 /irq:5 /nodeid:10 /baud:\"2.5\" /naks:128 /extimeout:1 /bplane",
         "/ioport:0x2e0 /irq:5 /nodeid:10 /baud:\"2.5\" /naks:128 /extimeout:1 /bplane"},
        {"/irq:1 /naks:5 /extimeout:4 /baud:\"2.50\" /bplane:0",
         "/ioport:0 /irq:0 /nodeid:0 /baud:\"2.5\" /naks:4 /extimeout:1 /bplane"},
        {"/slowarb /IRQ:16 /extimeout:2 /baud:\"1.25\"",
         "/ioport:0 /irq:0 /nodeid:0 /baud:\"1.25\" /naks:128 /extimeout:2 /slowarb"},
        {"/irq:2 /extimeout:8 /baud:\"625\" /slowarb:0 /bplane",
         "/ioport:0 /irq:2 /nodeid:0 /baud:\"625\" /naks:128 /extimeout:8 /bplane /slowarb"},
        {"/irq:15 /extimeout:16 /baud:\"156.25\"",
         "/ioport:0 /irq:15 /nodeid:0 /baud:\"156.25\" /naks:128 /extimeout:16"},
        {"/ioport:-1 /nodeid:-1 /irq:-3 /baud:\"312.5\"",
         "/ioport:0xffffffff /irq:0 /nodeid:-1 /baud:\"312.5\" /naks:128 /extimeout:1"},
        {"/ioport:0x1000002e0 /baud:\"1.25 /naks:4",
         "/ioport:0x2e0 /irq:0 /nodeid:0 /baud:\"2.5\" /naks:4 /extimeout:1"},
        {"/baud:1.25 /nodeid:0x2ff", "/ioport:0 /irq:0 /nodeid:767 /baud:\"2.5\" /naks:128 /extimeout:1"},
    };
    for (const auto& [stored, written] : rows) {
        char text[SecondaryInfoCapacity];
        FormatSecondaryInfo(ParseSecondaryInfo(stored), text, sizeof(text));
        EXPECT_EQ(written, text) << stored;
    }
}

// Loaded through the table's factory; "Nic" is never read and saved empty;
// a "Secondary_Info" too long for its 255 characters reads as none.
TEST(Com20020PortRegistry, StoredShownSaved)
{
    const std::string full = "/irq:5 /nodeid:9" + std::string(239, ' '), tooLong = full + " ";
    const std::pair<const char*, std::string> rows[] = {
        {nullptr, Defaults},
        {"/irq:3 /ioport:0x300", "/ioport:0x300 /irq:3 /nodeid:0 /baud:\"2.5\" /naks:128 /extimeout:1"},
        {full.c_str(), "/ioport:0 /irq:5 /nodeid:9 /baud:\"2.5\" /naks:128 /extimeout:1"},
        {tooLong.c_str(), Defaults},
    };
    const std::pair<const char*, DWORD> numbers[] = {{"Type", 0}, {"Protocol", 3}, {"Port", 3}, {"Dnet", 7}};
    for (const auto& [stored, shown] : rows) {
        RegistrySandbox in("TolmarinArcnetIn"), out("TolmarinArcnetOut");
        for (const auto& [name, value] : numbers)
            SetDword(HKEY_CURRENT_USER, in.Path(), name, value);
        SetString(HKEY_CURRENT_USER, in.Path(), "Nic", "A");
        if (stored)
            SetString(HKEY_CURRENT_USER, in.Path(), "Secondary_Info", stored);
        std::unique_ptr<Port> port(CreatePortFromKey(RegReadKey(HKEY_CURRENT_USER, in.Path().c_str())));
        ASSERT_NE(nullptr, port);
        EXPECT_EQ((Texts{"3", "Yes", "7", "ARCNET", "Default", shown}),
                  (Texts{port->GetPortIdText(), port->GetAttachedText(), port->GetNetworkText(),
                         port->GetProtocolName(), port->GetNicText(), port->GetSecondaryInfo()}));
        ASSERT_TRUE(port->Save(RegWriteKey(HKEY_CURRENT_USER, out.Path().c_str())));
        EXPECT_EQ((Texts{"Connected=1", "Dnet=7", "Nic=\"\"", "Port=3", "Protocol=3",
                         "Secondary_Info=\"" + shown + "\"", "Type=0"}),
                  SavedValues(out.Path()));
    }
}

// Texts typed over those of a valid port make a candidate whose parameter
// string is given, or name the first failing control and its message.
TEST(Com20020PortDialog, TypedTextsMakeAPortOrNameTheFailingControl)
{
    using Typed = std::vector<std::pair<int, const char*>>;
    const std::string valid = "/ioport:0x2e0 /irq:5 /nodeid:10 /baud:\"2.5\" /naks:128 /extimeout:1";
    const struct {
        Typed typed;
        std::string result;  // accepted: the parameter string; refused: control and message
    } rows[] = {
        {{}, valid},
        {{{601, "736"}, {600, "15"}, {602, "255"}},
         "/ioport:0x2e0 /irq:15 /nodeid:255 /baud:\"2.5\" /naks:128 /extimeout:1"},
        {{{601, "256"}, {600, "2"}, {602, "0x1"}},
         "/ioport:0x100 /irq:2 /nodeid:1 /baud:\"2.5\" /naks:128 /extimeout:1"},
        {{{601, "-1"}, {604, "1.25"}},
         "/ioport:0xffffffff /irq:5 /nodeid:10 /baud:\"1.25\" /naks:128 /extimeout:1"},
        {{{604, "10"}}, valid},
        {{{601, "255"}}, "601 160"},
        {{{601, "abc"}}, "601 160"},
        {{{602, "0"}}, "602 161"},
        {{{602, "256"}}, "602 161"},
        {{{600, ""}}, "600 162"},
        {{{600, "1"}}, "600 162"},
        {{{600, "16"}}, "600 162"},
        {{{600, "4294967295"}}, "600 162"},
        {{{600, ""}, {601, "0"}, {602, "0"}}, "600 162"},
        {{{601, "0"}, {602, "0"}}, "601 160"},
        {{{510, "0"}, {600, ""}}, "510 145"},
    };
    Com20020Port edited;
    HWND dialog = CreateDialogParamA(nullptr, MAKEINTRESOURCEA(IDD_COM20020_PORT), nullptr, PortDialogProc,
                                     LPARAM(&edited));
    ASSERT_NE(nullptr, dialog);
    const Typed base = {{510, "5"}, {512, "7"}, {600, "5"}, {601, "0x2e0"}, {602, "10"}, {604, "2.5"}};
    for (const auto& row : rows) {
        for (const Typed& typed : {base, row.typed})
            for (const auto& [control, text] : typed)
                SetDlgItemTextA(dialog, control, text);
        std::unique_ptr<Port> made(edited.CreateFromDialog(dialog));
        int control = 0, message = 0;
        bool valid = made->Validate(control, message);
        EXPECT_EQ(row.result,
                  valid ? made->GetSecondaryInfo() : std::to_string(control) + " " + std::to_string(message));
    }
    DestroyWindow(dialog);
}

// What InitDialog shows (IRQ, I/O address, node id, data rate, and the
// check states of 603, 608 to 614), and the same port read back from it.
TEST(Com20020PortDialog, ShowsThePortAndReadsItBack)
{
    const struct {
        const char* stored;
        Texts shown;
    } rows[] = {
        {"", {"", "", "", "2.5", "00110000"}},
        {"/ioport:0x2e0 /irq:5 /nodeid:10 /baud:\"625\" /naks:4 /extimeout:16 /bplane /slowarb",
         {"5", "0x2e0", "10", "625", "11000011"}},
        {"/extimeout:2 /baud:\"156.25\"", {"", "", "", "156.25", "00101000"}},
        {"/extimeout:8 /baud:\"1.25\"", {"", "", "", "1.25", "00100100"}},
    };
    for (const auto& row : rows) {
        Com20020Port port = Loaded(row.stored);
        HWND dialog = CreateDialogParamA(nullptr, MAKEINTRESOURCEA(IDD_COM20020_PORT), nullptr,
                                         PortDialogProc, LPARAM(&port));
        Texts shown;
        for (int control : {600, 601, 602, 604}) {
            char text[32] = "";
            GetDlgItemTextA(dialog, control, text, sizeof(text));
            shown.push_back(text);
        }
        shown.push_back("");
        for (int control : {603, 608, 609, 610, 611, 612, 613, 614})
            shown.back() += IsDlgButtonChecked(dialog, control) ? '1' : '0';
        EXPECT_EQ(row.shown, shown) << row.stored;
        std::unique_ptr<Port> made(port.CreateFromDialog(dialog));
        EXPECT_STREQ(port.GetSecondaryInfo(), made->GetSecondaryInfo());
        DestroyWindow(dialog);
    }
}

// Any two ARCNET ports are one port; a copy takes the settings of an ARCNET
// port and the defaults from any other kind.
TEST(Com20020Port, DuplicatesAndCopies)
{
    Com20020Port first = Loaded("/irq:5 /bplane"), second;
    PhysicalPort ethernet;
    first.SetPortId(1);
    first.SetNetwork(10);
    second.SetPortId(2);
    second.SetNetwork(20);
    ethernet.SetPortId(3);
    ethernet.SetNetwork(30);
    EXPECT_TRUE(second.IsSamePort(first));
    EXPECT_FALSE(first.IsSamePort(ethernet));
    EXPECT_STREQ(first.GetSecondaryInfo(), second.CopyFrom(first).GetSecondaryInfo());
    EXPECT_EQ(Defaults, second.CopyFrom(VirtualPort()).GetSecondaryInfo());
}
