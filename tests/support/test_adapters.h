// Network adapters and the driver's "Bind" list, presented to the code under
// test through Wine's real Setup API and registry and removed again.
#pragma once
#include <windows.h>
#include <setupapi.h>

#include <string>
#include <vector>

#include "support/registry_sandbox.h"

// The key of the driver's "Bind" list (Windows NT 4.0).
extern const char LinkagePath[];
// Stores raw as "Bind": the entries with their NULs as the test spells them.
void SetBind(const std::string& raw, DWORD type = REG_MULTI_SZ);

// The rows of a dialog's adapter list, control 516.
std::vector<std::string> AdapterRows(HWND dialog);

// A present adapter of class Net in the Windows 95/98 form: its SPDRP_DRIVER
// is driver ("Net\\0007"), and its driver key Control\Class\<driver> has a
// "Bindings" subkey holding a value named binding.
class TestNetAdapter {
public:
    TestNetAdapter(const std::string& instanceId, const std::string& description, const std::string& driver,
                   const std::string& binding = "VEMTO\\0000");
    ~TestNetAdapter();
    void AddBinding(const std::string& name);

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
