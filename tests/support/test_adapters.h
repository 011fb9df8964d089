// Network adapters and driver bindings presented to the code under test
// through the real Setup API and registry, removed again at the end.
#pragma once
#include <windows.h>
#include <setupapi.h>

#include <memory>
#include <string>
#include <vector>

#include "support/scoped_key.h"

// A present network adapter of class Net in the Windows 95/98 form: its
// driver key name (SPDRP_DRIVER) is given, e.g. "Net\\0007", and its driver
// key is HKLM\System\CurrentControlSet\Control\Class\<driver>. Removed, with
// its driver key, when the object goes.
class TestNetAdapter {
public:
    TestNetAdapter(const std::string& instanceId, const std::string& description,
                   const std::string& driver);
    ~TestNetAdapter();
    TestNetAdapter(const TestNetAdapter&) = delete;
    TestNetAdapter& operator=(const TestNetAdapter&) = delete;

    // True when the Setup API accepted the adapter and its properties.
    bool Ready() const { return ready; }
    const std::string& InstanceId() const { return instanceId; }
    // Adds a value of that name to the driver key's "Bindings" subkey.
    void AddBinding(const std::string& valueName);

private:
    std::string instanceId;
    std::string driverKeyPath;
    HDEVINFO devices;
    SP_DEVINFO_DATA device;
    bool ready;
};

// Removes a device of class Net left behind by an earlier run, if any.
void RemoveNetAdapter(const std::string& instanceId);

// The driver's "Bind" list (Linkage key of the driver's service) for the
// length of a test; the keys created for it are deleted at the end.
class TestBindList {
public:
    TestBindList();
    ~TestBindList();
    TestBindList(const TestBindList&) = delete;
    TestBindList& operator=(const TestBindList&) = delete;

    void Set(const std::vector<std::string>& entries);
    void SetRaw(const void* data, DWORD size, DWORD type = REG_MULTI_SZ);
    void Remove();

private:
    std::unique_ptr<ScopedKeyPath> scope;
};
