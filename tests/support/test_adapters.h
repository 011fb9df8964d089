// Network adapters and the driver's "Bind" list, made through Wine's real
// Setup API and registry for the Ethernet port tests and removed again.
#pragma once
#include <windows.h>
#include <setupapi.h>

#include <memory>
#include <string>
#include <vector>

#include "ports/dialog_controls.h"
#include "ports/kinds/physical_port.h"
#include "ports/port_dialog.h"
#include "support/dialog_driver.h"
#include "support/registry_sandbox.h"

typedef std::vector<std::string> Strings;

extern const char LinkagePath[];
// Stores "Bind" as REG_MULTI_SZ, each '|' of raw standing for a NUL.
void SetBind(std::string raw);

// A modeless dialog of template 500 editing port.
struct EthernetDialog : Modeless {
    explicit EthernetDialog(Port& port) : Modeless(500, PortDialogProc, &port) {}
    ComboBox Adapters() const { return ComboBox(window, IDC_ADAPTER_LIST); }
    Strings Rows() const;
    // The adapter of a port made from the dialog.
    std::string ChosenNic() const
    {
        return std::unique_ptr<Port>(PhysicalPort().CreateFromDialog(window))->GetNicText();
    }
};

// A present adapter of class Net in the Windows 95/98 form: its SPDRP_DRIVER
// is driver ("Net\0007"), its driver key's "Bindings" holds a value binding.
class TestNetAdapter {
public:
    TestNetAdapter(const std::string& instanceId, const std::string& description, const std::string& driver,
                   const std::string& binding = "VEMTO\\0000");
    ~TestNetAdapter();
    void AddBinding(const std::string& name)
    {
        SetString(HKEY_LOCAL_MACHINE, driverKey.Path() + "\\Bindings", name.c_str(), "");
    }

private:
    RegistrySandbox driverKey;
    HDEVINFO devices;
    SP_DEVINFO_DATA device;
};

// Two adapters bound to the driver around one bound to another protocol.
struct ThreeAdapters {
    TestNetAdapter first{"ROOT\\NET\\7301", "First Adapter", "Net\\0007"};
    TestNetAdapter unbound{"ROOT\\NET\\7302", "Unbound Adapter", "Net\\0008", "NETBEUI\\0000"};
    TestNetAdapter second{"ROOT\\NET\\7303", "Second Adapter", "Net\\0009"};
};
