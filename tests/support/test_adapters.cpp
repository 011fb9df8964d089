#include "support/test_adapters.h"

#include <initguid.h>
#include <devguid.h>

#include "support/registry_sandbox.h"

namespace {

const char ClassKeyPath[] = "System\\CurrentControlSet\\Control\\Class\\";
const char LinkagePath[] = "SYSTEM\\CurrentControlSet\\Services\\Vemto\\Linkage";

// Deletes the driver key and its class key ("Net") when nothing else is left
// in the latter.
void DeleteDriverKey(const std::string& driverKeyPath)
{
    DeleteTree(HKEY_LOCAL_MACHINE, driverKeyPath);
    size_t slash = driverKeyPath.rfind('\\');
    std::string classKey = driverKeyPath.substr(0, slash);
    if (classKey.size() > sizeof(ClassKeyPath) - 1 && SubkeyNames(HKEY_LOCAL_MACHINE, classKey).empty() &&
        ValueNames(HKEY_LOCAL_MACHINE, classKey).empty())
        DeleteTree(HKEY_LOCAL_MACHINE, classKey);
}

}  // namespace

void RemoveNetAdapter(const std::string& instanceId)
{
    HDEVINFO set = SetupDiCreateDeviceInfoList(&GUID_DEVCLASS_NET, nullptr);
    if (set == INVALID_HANDLE_VALUE)
        return;
    SP_DEVINFO_DATA device = {};
    device.cbSize = sizeof(device);
    if (SetupDiOpenDeviceInfoA(set, instanceId.c_str(), nullptr, 0, &device))
        SetupDiRemoveDevice(set, &device);
    SetupDiDestroyDeviceInfoList(set);
}

TestNetAdapter::TestNetAdapter(const std::string& instanceId, const std::string& description,
                               const std::string& driver)
    : instanceId(instanceId), driverKeyPath(ClassKeyPath + driver),
      devices(SetupDiCreateDeviceInfoList(&GUID_DEVCLASS_NET, nullptr)), device(), ready(false)
{
    RemoveNetAdapter(instanceId);
    DeleteDriverKey(driverKeyPath);
    device.cbSize = sizeof(device);
    if (devices == INVALID_HANDLE_VALUE)
        return;
    ready = SetupDiCreateDeviceInfoA(devices, instanceId.c_str(), &GUID_DEVCLASS_NET,
                                     description.c_str(), nullptr, 0, &device) &&
            SetupDiRegisterDeviceInfo(devices, &device, 0, nullptr, nullptr, nullptr) &&
            SetupDiSetDeviceRegistryPropertyA(devices, &device, SPDRP_DRIVER,
                                              reinterpret_cast<const BYTE*>(driver.c_str()),
                                              DWORD(driver.size() + 1));
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, driverKeyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) == ERROR_SUCCESS)
        RegCloseKey(key);
    else
        ready = false;
}

TestNetAdapter::~TestNetAdapter()
{
    if (devices != INVALID_HANDLE_VALUE) {
        SetupDiRemoveDevice(devices, &device);
        SetupDiDestroyDeviceInfoList(devices);
    }
    RemoveNetAdapter(instanceId);
    DeleteDriverKey(driverKeyPath);
}

void TestNetAdapter::AddBinding(const std::string& valueName)
{
    SetString(HKEY_LOCAL_MACHINE, driverKeyPath + "\\Bindings", valueName.c_str(), "");
}

TestBindList::TestBindList() : scope(new ScopedKeyPath(HKEY_LOCAL_MACHINE, LinkagePath)) {}

TestBindList::~TestBindList() = default;

void TestBindList::Set(const std::vector<std::string>& entries)
{
    std::vector<char> list = MultiString(entries);
    SetRaw(list.data(), DWORD(list.size()));
}

void TestBindList::SetRaw(const void* data, DWORD size, DWORD type)
{
    ::SetRaw(HKEY_LOCAL_MACHINE, LinkagePath, "Bind", type, data, size);
}

void TestBindList::Remove()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, LinkagePath, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(key, "Bind");
    RegCloseKey(key);
}
