// The Ethernet port: its answers, copies and duplicates on any platform, and
// in the Platform suites its adapter name as loaded, saved and edited on the
// platform the program runs on (Windows 95/98, NT 4.0, 2000 and later).
#include <gtest/gtest.h>

#include <string.h>

#include "lifecycle/module.h"
#include "ports/dialog_controls.h"
#include "ports/kinds/physical_port.h"
#include "ports/kinds/virtual_port.h"
#include "ports/port_dialog.h"
#include "ports/port_table.h"
#include "registry/reg_key.h"
#include "resource.h"
#include "support/registry_sandbox.h"
#include "support/test_adapters.h"

namespace {

// A PhysicalPort with port number, network number and attached flag set.
class Ethernet : public PhysicalPort {
public:
    Ethernet(unsigned portId, unsigned network, bool attached = true)
    {
        SetPortId(portId);
        SetNetwork(network);
        SetAttached(attached);
    }
};

class Virtual : public VirtualPort {
public:
    Virtual(unsigned portId, unsigned network)
    {
        SetPortId(portId);
        SetNetwork(network);
    }
};

}  // namespace

TEST(PhysicalPort, AnswersOfAnEthernetPort)
{
    PhysicalPort port;
    EXPECT_EQ(0, port.GetType());
    EXPECT_EQ(0, port.GetProtocol());
    EXPECT_EQ(0, port.GetKind());
    EXPECT_STREQ("Physical", port.GetTypeName());
    EXPECT_STREQ("Ethernet", port.GetProtocolName());
    EXPECT_STREQ("Default", port.GetNicText());
    EXPECT_STREQ("n/a", port.GetSecondaryInfo());
    EXPECT_STREQ("0", port.GetNetworkText());
    EXPECT_EQ(500, port.GetDialogId());
    EXPECT_EQ(PortDialogProc, port.GetDialogProc());
    EXPECT_FALSE(port.IsValid());
}

TEST(PhysicalPort, AdapterIsNeverValidated)
{
    Ethernet port(1, 1);
    EXPECT_TRUE(port.IsValid());
    int control = -7, message = -7;
    Ethernet noNetwork(1, 0);
    EXPECT_FALSE(noNetwork.Validate(control, message));
    EXPECT_EQ(512, control);
    EXPECT_EQ(145, message);
}

TEST(PhysicalPort, AnyTwoEthernetPortsAreTheSamePort)
{
    Ethernet first(1, 10), second(2, 20), detached(3, 30, false);
    EXPECT_TRUE(second.IsSamePort(first));
    EXPECT_TRUE(first.IsSamePort(second));
    EXPECT_TRUE(detached.IsSamePort(first));

    // Against other kinds only the port and network numbers count.
    Virtual otherNumbers(4, 40), sameNetwork(5, 10), samePort(1, 50);
    EXPECT_FALSE(first.IsSamePort(otherNumbers));
    EXPECT_TRUE(first.IsSamePort(sameNetwork));
    EXPECT_TRUE(first.IsSamePort(samePort));
    EXPECT_FALSE(otherNumbers.IsSamePort(first)) << "a virtual port is not every Ethernet port";
}

TEST(PhysicalPort, CopyFromAVirtualPortForgetsNetworkAndAdapter)
{
    TestBindList bind;
    bind.Set({"A", "B"});
    RegistrySandbox sandbox;
    SetString(HKEY_CURRENT_USER, sandbox.Path(), "Nic", "B");
    DWORD savedWin9x = IsWin9x;
    BYTE savedAbove4 = IsNtAbove4;
    IsWin9x = 0;
    IsNtAbove4 = 0;  // the NT 4.0 rules keep a listed adapter
    RegReadKey key(HKEY_CURRENT_USER, sandbox.Path().c_str());
    PhysicalPort named(key);
    IsWin9x = savedWin9x;
    IsNtAbove4 = savedAbove4;
    ASSERT_STREQ("B", named.GetNicText());

    PhysicalPort copy;
    copy.CopyFrom(named);
    EXPECT_STREQ("B", copy.GetNicText());

    Virtual source(9, 99);
    named.CopyFrom(source);
    EXPECT_STREQ("9", named.GetPortIdText());
    EXPECT_STREQ("0", named.GetNetworkText());
    EXPECT_STREQ("Default", named.GetNicText());

    copy.CopyFrom(copy);
    EXPECT_STREQ("B", copy.GetNicText());
}

// ---------------------------------------------------------------------------
// Platform suites: the module's platform flags come from DetectPlatform, and
// each check names what the platform the program runs on must give.

namespace {

enum class Host { Win9x, Nt4, Nt5 };

Host RunningHost()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    GetVersionExA(&version);
    if (version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS)
        return Host::Win9x;
    return version.dwMajorVersion > 4 ? Host::Nt5 : Host::Nt4;
}

// The platform that the program's name asks Wine to emulate, if any: the
// copies named *_win98.exe, *_nt40.exe and *_win2k.exe.
bool EmulatedHost(Host& host)
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof(path));
    std::string name(path);
    const struct {
        const char* suffix;
        Host host;
    } copies[] = {{"_win98.exe", Host::Win9x}, {"_nt40.exe", Host::Nt4}, {"_win2k.exe", Host::Nt5}};
    for (const auto& copy : copies) {
        std::string suffix = copy.suffix;
        if (name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
            host = copy.host;
            return true;
        }
    }
    return false;
}

// A dialog of template 500 editing port, modeless, destroyed at the end.
class EthernetDialog {
public:
    explicit EthernetDialog(Port& port)
        : window(CreateDialogParamA(nullptr, MAKEINTRESOURCEA(IDD_ETHERNET_PORT), nullptr,
                                    PortDialogProc, reinterpret_cast<LPARAM>(&port)))
    {
    }
    ~EthernetDialog()
    {
        if (window)
            DestroyWindow(window);
    }
    HWND Window() const { return window; }
    ComboBox Adapters() const { return ComboBox(window, IDC_ADAPTER_LIST); }
    std::vector<std::string> Rows() const
    {
        std::vector<std::string> rows;
        for (int i = 0; i < Adapters().Count(); ++i) {
            char text[512] = "";
            Adapters().Send(CB_GETLBTEXT, WPARAM(i), LPARAM(text));
            rows.push_back(text);
        }
        return rows;
    }
    std::string Text(int id) const
    {
        char text[300] = "";
        DialogItem(window, id).GetText(text, sizeof(text));
        return text;
    }
    // The nic of a port read back from the controls.
    std::string ChosenNic() const
    {
        Port* candidate = PhysicalPort().CreateFromDialog(window);
        std::string nic = candidate ? candidate->GetNicText() : "(none)";
        delete candidate;
        return nic;
    }

private:
    HWND window;
};

typedef std::vector<std::string> Strings;

class PhysicalPortPlatform : public ::testing::Test {
protected:
    void SetUp() override
    {
        host = RunningHost();
        Host emulated;
        if (EmulatedHost(emulated)) {
            ASSERT_EQ(int(emulated), int(host)) << "the emulated Windows version was not applied";
        }
        ASSERT_TRUE(DetectPlatform());
        ASSERT_EQ(host == Host::Win9x ? 1u : 0u, IsWin9x);
        ASSERT_EQ(host == Host::Nt5 ? 1 : 0, IsNtAbove4);
    }

    // The value that the running platform must give.
    template <class T>
    T On(T win9x, T nt4, T nt5) const
    {
        return host == Host::Win9x ? win9x : host == Host::Nt4 ? nt4 : nt5;
    }

    // A port loaded from an entry holding port 3, network 7, detached, and
    // nic when given.
    PhysicalPort* Load(const char* nic)
    {
        DeleteTree(HKEY_CURRENT_USER, sandbox.Path());
        SetDword(HKEY_CURRENT_USER, sandbox.Path(), "Port", 3);
        SetDword(HKEY_CURRENT_USER, sandbox.Path(), "Dnet", 7);
        SetDword(HKEY_CURRENT_USER, sandbox.Path(), "Connected", 0);
        if (nic)
            SetString(HKEY_CURRENT_USER, sandbox.Path(), "Nic", nic);
        RegReadKey key(HKEY_CURRENT_USER, sandbox.Path().c_str());
        return new PhysicalPort(key);
    }
    std::string LoadNic(const char* nic)
    {
        std::unique_ptr<PhysicalPort> port(Load(nic));
        return port->GetNicText();
    }

    // Two adapters bound to the driver around one that is not, and the
    // driver's "Bind" list A, B: every platform has its adapters.
    void PresentAdapters()
    {
        first.reset(new TestNetAdapter("ROOT\\NET\\7301", "First Adapter", "Net\\0007"));
        unbound.reset(new TestNetAdapter("ROOT\\NET\\7302", "Unbound Adapter", "Net\\0008"));
        second.reset(new TestNetAdapter("ROOT\\NET\\7303", "Second Adapter", "Net\\0009"));
        ASSERT_TRUE(first->Ready() && unbound->Ready() && second->Ready());
        first->AddBinding("VEMTO\\0000");
        second->AddBinding("VEMTO\\0001");
        bind.Set({"A", "B"});
    }

    Host host = Host::Nt5;
    RegistrySandbox sandbox{"TolmarinEthernetTest"};
    TestBindList bind;
    std::unique_ptr<TestNetAdapter> first, unbound, second;
};

}  // namespace

TEST_F(PhysicalPortPlatform, SaveWritesNicOnlyBeforeWindows2000)
{
    std::unique_ptr<PhysicalPort> port(Load(nullptr));
    ASSERT_STREQ("Default", port->GetNicText());
    RegistrySandbox target("TolmarinEthernetSaved");
    RegWriteKey key(HKEY_CURRENT_USER, target.Path().c_str());
    ASSERT_TRUE(port->Save(key));

    EXPECT_EQ(3u, GetDword(HKEY_CURRENT_USER, target.Path(), "Port"));
    EXPECT_EQ(7u, GetDword(HKEY_CURRENT_USER, target.Path(), "Dnet"));
    EXPECT_EQ(0u, GetDword(HKEY_CURRENT_USER, target.Path(), "Connected"));
    DWORD type = 0;
    std::vector<BYTE> data;
    bool hasNic = GetRaw(HKEY_CURRENT_USER, target.Path(), "Nic", &type, &data);
    EXPECT_EQ(On(true, true, false), hasNic) << "a \"Nic\" value is written before Windows 2000 only";
    if (hasNic) {
        EXPECT_EQ(DWORD(REG_SZ), type);
        EXPECT_EQ(std::vector<BYTE>{0}, data) << "\"Default\" is stored as the empty text";
    }
    EXPECT_EQ(On(6u, 6u, 5u), ValueNames(HKEY_CURRENT_USER, target.Path()).size());
}

TEST_F(PhysicalPortPlatform, SaveOnAClosedKeyFails)
{
    PhysicalPort port;
    RegReadKey missing(HKEY_CURRENT_USER, "Software\\TolmarinNoSuchKey\\Entry0");
    EXPECT_FALSE(port.Save(missing));
}

TEST_F(PhysicalPortPlatform, NicIsCheckedAgainstTheBindList)
{
    bind.Set({"A", "B"});
    EXPECT_EQ(On<std::string>("Default", "B", "Default"), LoadNic("B"));
    EXPECT_EQ(On<std::string>("Default", "A", "Default"), LoadNic(""));
    EXPECT_EQ(On<std::string>("Default", "A", "Default"), LoadNic("C"));
    EXPECT_EQ(On<std::string>("Default", "A", "Default"), LoadNic(nullptr));
    bind.Remove();
    EXPECT_EQ("Default", LoadNic("B")) << "no \"Bind\" value: no adapter to name";
    bind.Set({});
    EXPECT_EQ("Default", LoadNic("B")) << "an empty \"Bind\" list names no adapter";
}

TEST_F(PhysicalPortPlatform, NicTooLongForItsBufferReadsAsDefault)
{
    std::string full(255, 'F');
    bind.Set({"A", full});
    EXPECT_EQ(On<std::string>("Default", full, "Default"), LoadNic(full.c_str()));
    std::string tooLong(256, 'F');
    EXPECT_EQ(On<std::string>("Default", "A", "Default"), LoadNic(tooLong.c_str()));
}

TEST_F(PhysicalPortPlatform, NicIsCheckedAgainstTheBoundAdapters)
{
    TestNetAdapter adapter("ROOT\\NET\\7301", "Unbound Adapter", "Net\\0001");
    ASSERT_TRUE(adapter.Ready());
    adapter.AddBinding("NETBEUI\\0000");
    EXPECT_EQ("Default", LoadNic("0001")) << "no adapter bound to the driver";

    TestNetAdapter bound("ROOT\\NET\\7302", "Bound Adapter", "Net\\0007");
    ASSERT_TRUE(bound.Ready());
    bound.AddBinding("VEMTO\\0000");
    EXPECT_EQ(On<std::string>("0007", "Default", "Default"), LoadNic("0001"));
    EXPECT_EQ(On<std::string>("0007", "Default", "Default"), LoadNic("0007"));
    EXPECT_EQ(On<std::string>("0007", "Default", "Default"), LoadNic(nullptr));
}

TEST_F(PhysicalPortPlatform, DialogListsTheAdaptersOfThePlatform)
{
    PresentAdapters();
    std::unique_ptr<PhysicalPort> port(Load(On("0009", "B", "B")));
    ASSERT_STREQ(On("0009", "B", "Default"), port->GetNicText());
    EthernetDialog dialog(*port);
    ASSERT_NE(nullptr, dialog.Window());

    EXPECT_EQ("3", dialog.Text(IDC_PORT_ID));
    EXPECT_EQ("7", dialog.Text(IDC_NETWORK));
    EXPECT_FALSE(DialogItem(dialog.Window(), IDC_ATTACHED).IsChecked());
    EXPECT_EQ(On<Strings>({"First Adapter/ROOT\\NET\\7301", "Second Adapter/ROOT\\NET\\7303"},
                          {"A", "B"}, {}),
              dialog.Rows());
    EXPECT_EQ(On(1, 1, CB_ERR), dialog.Adapters().Selection());
    EXPECT_EQ(On(true, true, false), dialog.Adapters().IsEnabled());

    // What the dialog gives back, by the row chosen.
    EXPECT_EQ(On<std::string>("0009", "B", "Default"), dialog.ChosenNic());
    dialog.Adapters().Select(0);
    EXPECT_EQ(On<std::string>("0007", "A", "Default"), dialog.ChosenNic());
    dialog.Adapters().Select(-1);
    EXPECT_EQ(On<std::string>("Default", "", "Default"), dialog.ChosenNic());

    // OK takes the choice into the edited port, with the other fields.
    dialog.Adapters().Select(0);
    DialogItem(dialog.Window(), IDC_PORT_ID).SetText("12");
    DialogItem(dialog.Window(), IDC_NETWORK).SetText("0x10");
    DialogItem(dialog.Window(), IDC_ATTACHED).SetChecked(true);
    ASSERT_TRUE(HandlePortDialogOk(dialog.Window()));
    EXPECT_STREQ("12", port->GetPortIdText());
    EXPECT_STREQ("16", port->GetNetworkText());
    EXPECT_STREQ("Yes", port->GetAttachedText());
    EXPECT_STREQ(On("0007", "A", "Default"), port->GetNicText());
}

TEST_F(PhysicalPortPlatform, DialogWithoutAdaptersToChoose)
{
    // Nothing bound on Windows 95/98; no "Bind" value on NT 4.0, which lists
    // what a missing value reads as.
    bind.Remove();
    std::unique_ptr<PhysicalPort> port(Load("0001"));
    EXPECT_STREQ("Default", port->GetNicText());
    {
        EthernetDialog dialog(*port);
        ASSERT_NE(nullptr, dialog.Window());
        EXPECT_EQ(On<Strings>({}, {"Default"}, {}), dialog.Rows());
        EXPECT_EQ(On(CB_ERR, 0, CB_ERR), dialog.Adapters().Selection());
        EXPECT_EQ(On(false, true, false), dialog.Adapters().IsEnabled());
        EXPECT_EQ("Default", dialog.ChosenNic());
    }
    // An empty list on NT 4.0 leaves the control enabled and empty.
    bind.Set({});
    EthernetDialog dialog(*port);
    EXPECT_TRUE(dialog.Rows().empty());
    EXPECT_EQ(On(false, true, false), dialog.Adapters().IsEnabled());
    EXPECT_EQ(On<std::string>("Default", "", "Default"), dialog.ChosenNic());
}

TEST_F(PhysicalPortPlatform, DialogSelectsTheLastEqualBindEntry)
{
    bind.Set({"B", "A", "B"});
    std::unique_ptr<PhysicalPort> port(Load("B"));
    EthernetDialog dialog(*port);
    EXPECT_EQ(On(CB_ERR, 2, CB_ERR), dialog.Adapters().Selection());
}

TEST_F(PhysicalPortPlatform, TableRoundTripKeepsTheEthernetEntries)
{
    ScopedKeyPath table(HKEY_LOCAL_MACHINE, TablePath);
    PresentAdapters();
    FreePortTable();
    DeleteTree(HKEY_LOCAL_MACHINE, TablePath);
    SetDword(HKEY_LOCAL_MACHINE, TablePath, "Num_Entries", 3);
    SetDword(HKEY_LOCAL_MACHINE, EntryPath(0), "Type", 0);
    SetDword(HKEY_LOCAL_MACHINE, EntryPath(0), "Protocol", 0);
    SetDword(HKEY_LOCAL_MACHINE, EntryPath(0), "Port", 3);
    SetDword(HKEY_LOCAL_MACHINE, EntryPath(0), "Dnet", 7);
    SetDword(HKEY_LOCAL_MACHINE, EntryPath(0), "Connected", 0);
    SetString(HKEY_LOCAL_MACHINE, EntryPath(0), "Nic", On("0009", "B", "B"));
    SetDword(HKEY_LOCAL_MACHINE, EntryPath(1), "Type", 7);  // unknown: an Ethernet port
    SetDword(HKEY_LOCAL_MACHINE, EntryPath(1), "Protocol", 5);
    SetDword(HKEY_LOCAL_MACHINE, EntryPath(1), "Port", 4);
    SetDword(HKEY_LOCAL_MACHINE, EntryPath(2), "Protocol", 2);  // Type 0, Protocol 2: Ethernet
    SetString(HKEY_LOCAL_MACHINE, EntryPath(2), "Nic", "");
    SetString(HKEY_LOCAL_MACHINE, EntryPath(2), "Secondary_Info", "/dropped");

    ASSERT_TRUE(LoadPortTable());
    ASSERT_EQ(3, PortTable.count);
    const char* expectedNics[3] = {On("0009", "B", "Default"), On("0007", "A", "Default"),
                                   On("0007", "A", "Default")};
    for (int i = 0; i < 3; ++i) {
        Port* port = PortTableNodeAt(i)->port;
        EXPECT_EQ(KindPhysical, port->GetKind()) << "entry " << i;
        EXPECT_STREQ(expectedNics[i], port->GetNicText()) << "entry " << i;
    }
    EXPECT_STREQ("No", PortTableNodeAt(0)->port->GetAttachedText());

    ASSERT_TRUE(SavePortTable());
    EXPECT_EQ(3u, GetDword(HKEY_LOCAL_MACHINE, TablePath, "Num_Entries"));
    EXPECT_EQ(0u, GetDword(HKEY_LOCAL_MACHINE, EntryPath(1), "Type"));
    EXPECT_EQ(0u, GetDword(HKEY_LOCAL_MACHINE, EntryPath(1), "Protocol"));
    EXPECT_EQ(4u, GetDword(HKEY_LOCAL_MACHINE, EntryPath(1), "Port"));
    EXPECT_EQ(1u, GetDword(HKEY_LOCAL_MACHINE, EntryPath(1), "Connected"));
    EXPECT_EQ(0u, GetDword(HKEY_LOCAL_MACHINE, EntryPath(0), "Connected"));
    EXPECT_EQ(7u, GetDword(HKEY_LOCAL_MACHINE, EntryPath(0), "Dnet"));
    for (int i = 0; i < 3; ++i) {
        std::vector<BYTE> data;
        bool hasNic = GetRaw(HKEY_LOCAL_MACHINE, EntryPath(i), "Nic", nullptr, &data);
        EXPECT_EQ(On(true, true, false), hasNic) << "entry " << i;
        if (hasNic) {
            EXPECT_STREQ(expectedNics[i], reinterpret_cast<const char*>(data.data())) << "entry " << i;
        }
        EXPECT_EQ(On(6u, 6u, 5u), ValueNames(HKEY_LOCAL_MACHINE, EntryPath(i)).size()) << "entry " << i;
    }

    FreePortTable();
    ASSERT_TRUE(LoadPortTable());
    ASSERT_EQ(3, PortTable.count);
    for (int i = 0; i < 3; ++i)
        EXPECT_STREQ(expectedNics[i], PortTableNodeAt(i)->port->GetNicText()) << "entry " << i;
    FreePortTable();
}
