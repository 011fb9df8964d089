// The Ethernet port; the Platform suite checks its adapter as loaded, saved
// and edited on the platform the program runs on (95/98, NT 4.0, 2000 and on).
#include <gtest/gtest.h>

#include <memory>

#include "lifecycle/module.h"
#include "ports/dialog_controls.h"
#include "ports/kinds/physical_port.h"
#include "ports/kinds/virtual_port.h"
#include "ports/port_dialog.h"
#include "ports/port_table.h"
#include "registry/reg_key.h"
#include "support/platform.h"
#include "support/test_adapters.h"

using namespace std::string_literals;

namespace {

typedef std::vector<std::string> Strings;

template <class Kind>
struct Numbered : Kind {
    Numbered(unsigned portId, unsigned network)
    {
        this->SetPortId(portId);
        this->SetNetwork(network);
    }
};

// A modeless dialog of template 500 editing port.
struct EthernetDialog {
    explicit EthernetDialog(Port& port)
        : window(CreateDialogParamA(nullptr, MAKEINTRESOURCEA(500), nullptr, PortDialogProc, LPARAM(&port)))
    {
    }
    ~EthernetDialog() { DestroyWindow(window); }
    ComboBox Adapters() const { return ComboBox(window, IDC_ADAPTER_LIST); }
    std::string ChosenNic() const
    {
        std::unique_ptr<Port> chosen(PhysicalPort().CreateFromDialog(window));
        return chosen ? chosen->GetNicText() : "(none)";
    }
    HWND window;
};

}  // namespace

TEST(PhysicalPort, AnswersAndDuplicates)
{
    PhysicalPort port;
    EXPECT_STREQ("Physical", port.GetTypeName());
    EXPECT_STREQ("Ethernet", port.GetProtocolName());
    EXPECT_STREQ("n/a", port.GetSecondaryInfo());
    EXPECT_EQ(500, port.GetDialogId());

    // Any two Ethernet ports are the same port; against other kinds only the
    // port and network numbers count.
    Numbered<PhysicalPort> first(1, 10), second(2, 20);
    EXPECT_TRUE(first.IsValid() && second.IsValid());
    EXPECT_TRUE(second.IsSamePort(first));
    EXPECT_TRUE(first.IsSamePort(second));
    Numbered<VirtualPort> otherNumbers(4, 40), sameNetwork(5, 10), samePort(1, 50);
    EXPECT_FALSE(first.IsSamePort(otherNumbers));
    EXPECT_TRUE(first.IsSamePort(sameNetwork));
    EXPECT_TRUE(first.IsSamePort(samePort));
    EXPECT_FALSE(otherNumbers.IsSamePort(first));
}

// Control ids, classes and styles of template 500 that the code relies on.
TEST(PhysicalPort, DialogTemplateHoldsTheControls)
{
    PhysicalPort port;
    EthernetDialog dialog(port);
    char text[64] = "";
    GetWindowTextA(dialog.window, text, sizeof(text));
    EXPECT_STREQ("Ethernet Port Properties", text);
    const struct {
        int id;
        const char* className;
        DWORD mask, style;
    } controls[] = {
        {510, "Edit", ES_NUMBER, ES_NUMBER},
        {512, "Edit", ES_NUMBER, 0},
        {516, "ComboBox", 3 | CBS_SORT, CBS_DROPDOWNLIST},
        {511, "Button", 0xF, BS_AUTOCHECKBOX},
        {IDOK, "Button", 0xF, BS_DEFPUSHBUTTON},
    };
    for (const auto& control : controls) {
        HWND window = GetDlgItem(dialog.window, control.id);
        GetClassNameA(window, text, sizeof(text));
        EXPECT_STRCASEEQ(control.className, text) << "control " << control.id;
        EXPECT_EQ(control.style, DWORD(GetWindowLongA(window, GWL_STYLE)) & control.mask) << control.id;
    }
}

namespace {

class PhysicalPortPlatform : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(int(ExpectedPlatform()), int(platform)) << "the emulated Windows version was not applied";
        ASSERT_TRUE(DetectPlatform());
        ASSERT_EQ(platform == TestPlatform::Win9x, IsWin9x != 0);
        ASSERT_EQ(platform == TestPlatform::Nt5Plus, IsNtAbove4 != 0);
    }
    // The value the running platform must give.
    template <class T>
    T On(T win9x, T nt4, T nt5) const
    {
        return platform == TestPlatform::Win9x ? win9x : platform == TestPlatform::Nt4 ? nt4 : nt5;
    }
    // A port loaded from an entry of port 3, network 7, and nic if given.
    std::unique_ptr<PhysicalPort> Load(const char* nic)
    {
        DeleteTree(HKEY_CURRENT_USER, entry.Path());
        SetDword(HKEY_CURRENT_USER, entry.Path(), "Port", 3);
        SetDword(HKEY_CURRENT_USER, entry.Path(), "Dnet", 7);
        if (nic)
            SetString(HKEY_CURRENT_USER, entry.Path(), "Nic", nic);
        return std::unique_ptr<PhysicalPort>(
            new PhysicalPort(RegReadKey(HKEY_CURRENT_USER, entry.Path().c_str())));
    }
    std::string LoadNic(const char* nic) { return Load(nic)->GetNicText(); }

    const TestPlatform platform = RunningPlatform();
    RegistrySandbox entry{"TolmarinEthernetTest"};
    RegistrySandbox linkage{HKEY_LOCAL_MACHINE, LinkagePath};
};

}  // namespace

// NT 4.0 keeps a listed "Nic", else takes the first entry; no adapter (95/98),
// no "Bind" value or an empty one (NT 4.0) give "Default", and their lists.
TEST_F(PhysicalPortPlatform, NicAndListFollowTheBindList)
{
    const std::string full(255, 'F'), tooLong(256, 'F');
    SetBind("A\0B\0"s + full + '\0' + '\0');
    const struct {
        const char* nic;
        std::string nt4;
    } rows[] = {
        {"B", "B"}, {"", "A"}, {"C", "A"}, {nullptr, "A"}, {full.c_str(), full}, {tooLong.c_str(), "A"}};
    for (const auto& row : rows)
        EXPECT_EQ(On<std::string>("Default", row.nt4, "Default"), LoadNic(row.nic))
            << (row.nic ? row.nic : "none");

    DeleteTree(HKEY_LOCAL_MACHINE, LinkagePath);
    std::unique_ptr<PhysicalPort> port(Load("0001"));
    EXPECT_STREQ("Default", port->GetNicText());
    {
        EthernetDialog dialog(*port);
        EXPECT_EQ(On<Strings>({}, {"Default"}, {}), AdapterRows(dialog.window));
        EXPECT_EQ(On(CB_ERR, 0, CB_ERR), dialog.Adapters().Selection());
        EXPECT_EQ(On(false, true, false), dialog.Adapters().IsEnabled());
        EXPECT_EQ("Default", dialog.ChosenNic());
    }
    SetBind("\0"s);
    EXPECT_EQ("Default", LoadNic("B"));
    EthernetDialog dialog(*port);
    EXPECT_TRUE(AdapterRows(dialog.window).empty());
    EXPECT_EQ(On(false, true, false), dialog.Adapters().IsEnabled());
    EXPECT_EQ(On<std::string>("Default", "", "Default"), dialog.ChosenNic());
}

// The list, its selection (the last equal "Bind" entry), the choice read back,
// taken into the port by OK and saved; copies take the adapter of Ethernet
// ports only.
TEST_F(PhysicalPortPlatform, DialogListsTheAdaptersOfThePlatform)
{
    ThreeAdapters adapters;
    SetBind("A\0B\0B\0\0"s);
    std::unique_ptr<PhysicalPort> port(Load(On("0009", "B", "B")));
    PhysicalPort copy;
    EXPECT_STREQ(On("0009", "B", "Default"), copy.CopyFrom(*port).CopyFrom(copy).GetNicText());
    EthernetDialog dialog(*port);
    EXPECT_EQ(
        On<Strings>({"First Adapter/ROOT\\NET\\7301", "Second Adapter/ROOT\\NET\\7303"}, {"A", "B", "B"}, {}),
        AdapterRows(dialog.window));
    EXPECT_EQ(On(1, 2, CB_ERR), dialog.Adapters().Selection());
    EXPECT_EQ(On(true, true, false), dialog.Adapters().IsEnabled());
    EXPECT_EQ(On<std::string>("0009", "B", "Default"), dialog.ChosenNic());
    dialog.Adapters().Select(-1);
    EXPECT_EQ(On<std::string>("Default", "", "Default"), dialog.ChosenNic());
    dialog.Adapters().Select(0);
    ASSERT_TRUE(HandlePortDialogOk(dialog.window));
    EXPECT_STREQ(On("0007", "A", "Default"), port->GetNicText());
    ASSERT_TRUE(port->Save(RegWriteKey(HKEY_CURRENT_USER, entry.Path().c_str())));
    std::vector<BYTE> nic;  // Windows 2000 and later leave the loaded value alone
    GetRaw(HKEY_CURRENT_USER, entry.Path(), "Nic", nullptr, &nic);
    EXPECT_STREQ(On("0007", "A", "B"), reinterpret_cast<const char*>(nic.data()));
    EXPECT_STREQ("Default", port->CopyFrom(VirtualPort()).GetNicText());
}

// Unknown "Type", and Type 0 of Protocol 2, load as Ethernet ports and save as
// Type 0, Protocol 0, with no "Secondary_Info"; "Default" is saved as the empty
// "Nic" before Windows 2000 and as no "Nic" after. A failed save is no success.
TEST_F(PhysicalPortPlatform, TableEntriesOfOtherCodesBecomeEthernetPorts)
{
    RegistrySandbox table(HKEY_LOCAL_MACHINE, TablePath);
    FreePortTable();
    SetDword(HKEY_LOCAL_MACHINE, TablePath, "Num_Entries", 2);
    SetDword(HKEY_LOCAL_MACHINE, EntryPath(0), "Type", 7);
    SetDword(HKEY_LOCAL_MACHINE, EntryPath(0), "Protocol", 5);
    SetDword(HKEY_LOCAL_MACHINE, EntryPath(1), "Protocol", 2);
    SetString(HKEY_LOCAL_MACHINE, EntryPath(1), "Secondary_Info", "/dropped");
    ASSERT_TRUE(LoadPortTable());
    ASSERT_EQ(2, PortTable.count);
    ASSERT_TRUE(SavePortTable());
    const Strings without{"Connected", "Dnet", "Port", "Protocol", "Type"};
    const Strings with{"Connected", "Dnet", "Nic", "Port", "Protocol", "Type"};
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(KindPhysical, PortTableNodeAt(i)->port->GetKind()) << i;
        EXPECT_STREQ("Default", PortTableNodeAt(i)->port->GetNicText()) << i;
        EXPECT_EQ(0u, GetDword(HKEY_LOCAL_MACHINE, EntryPath(i), "Type")) << i;
        EXPECT_EQ(0u, GetDword(HKEY_LOCAL_MACHINE, EntryPath(i), "Protocol")) << i;
        EXPECT_EQ(On(with, with, without), SortedValueNames(HKEY_LOCAL_MACHINE, EntryPath(i))) << i;
        std::vector<BYTE> nic;
        GetRaw(HKEY_LOCAL_MACHINE, EntryPath(i), "Nic", nullptr, &nic);
        EXPECT_EQ(On<std::vector<BYTE>>({0}, {0}, {}), nic) << i;
    }
    FreePortTable();
    EXPECT_FALSE(PhysicalPort().Save(RegReadKey(HKEY_CURRENT_USER, "Software\\TolmarinNoSuchKey")));
}
