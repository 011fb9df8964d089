#include "support/test_adapters.h"

#include <gtest/gtest.h>
#include <initguid.h>
#include <devguid.h>

#include "support/entry_values.h"

const char LinkagePath[] = "SYSTEM\\CurrentControlSet\\Services\\Vemto\\Linkage";

void SetBind(std::string raw) { StoreValues(HKEY_LOCAL_MACHINE, LinkagePath, {{"Bind", "m:" + raw}}); }

TestNetAdapter::TestNetAdapter(const std::string& instanceId, const std::string& description,
                               const std::string& driver, const std::string& binding)
    : driverKey(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Class\\" + driver),
      devices(SetupDiCreateDeviceInfoList(&GUID_DEVCLASS_NET, nullptr)),
      device{sizeof(device), {}, 0, 0}
{
    // A device left behind by a crashed run goes first.
    if (SetupDiOpenDeviceInfoA(devices, instanceId.c_str(), nullptr, 0, &device))
        SetupDiRemoveDevice(devices, &device);
    bool ready = SetupDiCreateDeviceInfoA(devices, instanceId.c_str(), &GUID_DEVCLASS_NET,
                                          description.c_str(), nullptr, 0, &device) &&
                 SetupDiRegisterDeviceInfo(devices, &device, 0, nullptr, nullptr, nullptr) &&
                 SetupDiSetDeviceRegistryPropertyA(devices, &device, SPDRP_DRIVER,
                                                   reinterpret_cast<const BYTE*>(driver.c_str()),
                                                   DWORD(driver.size() + 1));
    EXPECT_TRUE(ready && KeyExists(HKEY_LOCAL_MACHINE, driverKey.Path()))
        << "adapter " << instanceId << " not created";
    AddBinding(binding);
}

TestNetAdapter::~TestNetAdapter()
{
    SetupDiRemoveDevice(devices, &device);
    SetupDiDestroyDeviceInfoList(devices);
}
