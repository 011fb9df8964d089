#include "ports/kinds/adapters_9x.h"

#include <initguid.h>
#include <devguid.h>
#include <memory>
#include <new>
#include <string.h>

#include "registry/reg_key.h"
#include "resource.h"
#include "stack/stack_names.h"

namespace {

// The driver key name is read into this many bytes ("Net\0007" and its NUL
// need 9); a longer name cannot be read.
const DWORD DriverNameCapacity = 32;
// Length of the class prefix "Net\" in front of the adapter's name.
const size_t ClassPrefixLength = 4;
const DWORD AdapterNameCapacity = DriverNameCapacity - ClassPrefixLength;
// Binding value names are read up to this many characters.
const DWORD BindingNameCapacity = 261;

typedef char AdapterName[AdapterNameCapacity];

// True when a value name of the adapter's "Bindings" key begins with the
// driver's name, in any case.
bool HoldsDriverBinding(HKEY bindings)
{
    if (!bindings)
        return false;
    for (DWORD i = 0;; ++i) {
        char name[BindingNameCapacity];
        DWORD length = sizeof(name);
        LONG status = RegEnumValueA(bindings, i, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_MORE_DATA)
            continue;  // a name too long to read: look at the next one
        if (status != ERROR_SUCCESS)
            return false;
        if (_strnicmp(name, ADAPTER_BINDING_PREFIX, sizeof(ADAPTER_BINDING_PREFIX) - 1) == 0)
            return true;
    }
}

typedef std::unique_ptr<char[]> Text;

// A Setup API property as text, or null.
Text ReadDeviceText(HDEVINFO devices, SP_DEVINFO_DATA* device, DWORD property)
{
    DWORD required = 0;
    SetupDiGetDeviceRegistryPropertyA(devices, device, property, nullptr, nullptr, 0, &required);
    if (required == 0)
        return nullptr;
    Text text(new (std::nothrow) char[required + 1]);
    DWORD stored = 0;
    if (!text || !SetupDiGetDeviceRegistryPropertyA(devices, device, property, nullptr,
                                                    reinterpret_cast<BYTE*>(text.get()), required, &stored))
        return nullptr;
    text[stored < required ? stored : required] = '\0';
    return text;
}

// The device instance id ("ROOT\NET\0002"), or null.
Text ReadInstanceId(HDEVINFO devices, SP_DEVINFO_DATA* device)
{
    DWORD required = 0;
    SetupDiGetDeviceInstanceIdA(devices, device, nullptr, 0, &required);
    if (required == 0)
        return nullptr;
    Text id(new (std::nothrow) char[required + 1]);
    if (!id || !SetupDiGetDeviceInstanceIdA(devices, device, id.get(), required, nullptr))
        return nullptr;
    id[required] = '\0';
    return id;
}

// Appends text to the NUL-terminated buffer, cut to fit size.
void AppendCut(char* buffer, size_t size, const char* text)
{
    size_t used = strlen(buffer);
    if (text && used + 1 < size)
        CopyNic(buffer + used, size - used, text);
}

// The network adapters present in the system, walked one by one; only those
// bound to the driver are visited.
class PresentAdapters {
public:
    PresentAdapters()
        : devices(SetupDiGetClassDevsA(&GUID_DEVCLASS_NET, nullptr, nullptr, DIGCF_PRESENT)),
          index(0),
          device()
    {
    }
    ~PresentAdapters()
    {
        if (IsOpen())
            SetupDiDestroyDeviceInfoList(devices);
    }
    PresentAdapters(const PresentAdapters&) = delete;
    PresentAdapters& operator=(const PresentAdapters&) = delete;

    bool IsOpen() const { return devices != INVALID_HANDLE_VALUE; }

    // Moves to the next bound adapter; false after the last.
    bool NextBound()
    {
        if (!IsOpen())
            return false;
        for (;;) {
            device = SP_DEVINFO_DATA();
            device.cbSize = sizeof(device);
            if (!SetupDiEnumDeviceInfo(devices, index++, &device))
                return false;
            if (IsAdapterBoundToDriver(devices, &device))
                return true;
        }
    }

    // Moves to the next bound adapter whose name can be read, into name.
    bool NextNamed(AdapterName& name)
    {
        while (NextBound()) {
            if (ReadName(name))
                return true;
        }
        return false;
    }

    // The adapter's name: its driver key name without the class prefix.
    // False when the driver key name does not fit its buffer, or is too short
    // to hold a name behind the prefix.
    bool ReadName(AdapterName& name)
    {
        char driver[DriverNameCapacity] = {};
        DWORD stored = 0;
        if (!SetupDiGetDeviceRegistryPropertyA(devices, &device, SPDRP_DRIVER, nullptr,
                                               reinterpret_cast<BYTE*>(driver), sizeof(driver), &stored))
            return false;
        if (strnlen(driver, sizeof(driver)) == sizeof(driver))
            return false;  // stored without a terminator and filling the buffer
        if (strlen(driver) <= ClassPrefixLength)
            return false;
        CopyNic(name, sizeof(name), driver + ClassPrefixLength);
        return true;
    }

    // "<description>/<instance id>", cut to the size of text.
    void FormatDisplayText(char (&text)[NicCapacity])
    {
        text[0] = '\0';
        AppendCut(text, sizeof(text), ReadDeviceText(devices, &device, SPDRP_DEVICEDESC).get());
        if (strlen(text) + 1 >= sizeof(text))
            return;
        AppendCut(text, sizeof(text), "/");
        AppendCut(text, sizeof(text), ReadInstanceId(devices, &device).get());
    }

private:
    HDEVINFO devices;
    DWORD index;
    SP_DEVINFO_DATA device;
};

}  // namespace

bool IsAdapterBoundToDriver(HDEVINFO devices, SP_DEVINFO_DATA* device)
{
    HKEY driverKey = SetupDiOpenDevRegKey(devices, device, DICS_FLAG_GLOBAL, 0, DIREG_DRV, KEY_READ);
    if (driverKey == INVALID_HANDLE_VALUE || !driverKey)
        return false;
    bool bound;
    {
        RegReadKey bindings(driverKey, ADAPTER_BINDINGS_SUBKEY);
        bound = HoldsDriverBinding(bindings.Handle());
    }
    RegCloseKey(driverKey);
    return bound;
}

bool ReconcileAdapter9x(char (&nic)[NicCapacity])
{
    PresentAdapters adapters;
    AdapterName first = "";
    AdapterName name;
    while (adapters.NextNamed(name)) {
        if (!first[0])
            CopyNic(first, sizeof(first), name);
        if (strcmp(name, nic) == 0)
            return true;
    }
    if (!first[0])
        return false;
    CopyNic(nic, sizeof(nic), first);
    return true;
}

bool FillAdapterList9x(const char* nic, const ComboBox& combo)
{
    PresentAdapters adapters;
    int position = 0, match = -1;
    bool added = false;
    AdapterName name;
    while (adapters.NextNamed(name)) {
        if (strcmp(name, nic) == 0)
            match = position;
        char text[NicCapacity];
        adapters.FormatDisplayText(text);
        added = combo.Add(text) >= 0 || added;
        ++position;
    }
    if (!added)
        return false;
    if (match >= 0)
        combo.Select(match);
    return true;
}

bool ReadAdapterChoice9x(char (&nic)[NicCapacity], HWND dialog)
{
    int selected = ComboBox(dialog, IDC_ADAPTER_LIST).Selection();
    if (selected < 0)
        return false;
    PresentAdapters adapters;
    AdapterName name;
    for (int position = 0; adapters.NextNamed(name); ++position) {
        if (position == selected) {
            CopyNic(nic, sizeof(nic), name);
            return true;
        }
    }
    return false;
}
