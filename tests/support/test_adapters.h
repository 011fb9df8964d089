// Network adapters and the driver's "Bind" list, made through Wine's Setup API and registry.
#pragma once
#include <windows.h>
#include <setupapi.h>

#include "ports/dialog_controls.h"
#include "ports/kinds/physical_port.h"
#include "ports/port_dialog.h"
#include "support/dialog_driver.h"
#include "support/registry_sandbox.h"

typedef std::vector<std::string> Strings;

extern const char LinkagePath[];
void SetBind(std::string raw);  // "Bind", a '|' for each NUL

// A modeless dialog of template 500 editing port, and its adapter rows.
struct EthernetDialog : Modeless {
    explicit EthernetDialog(Port& port) : Modeless(500, PortDialogProc, &port) {}
    ComboBox Adapters() const { return ComboBox(window, IDC_ADAPTER_LIST); }
    Strings Rows() const { return ComboItems(Adapters().Window()); }
};

// An adapter of class Net as 95/98 has it: SPDRP_DRIVER driver ("Net\0007"), "Bindings" holding binding.
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
