#include "ports/kinds/ptp_port.h"

#include <new>
#include <stdio.h>
#include <string.h>

#include "lifecycle/module.h"
#include "ports/dialog_controls.h"
#include "ports/kinds/dial_dialog.h"
#include "ports/port_dialog.h"
#include "registry/reg_key.h"

namespace {

const NumberRange PerformanceRange = {0, 255, 3};
// The serial settings text read from the dialog leaves room for the
// /MODE:"" around it in the 256-byte mode parameter.
const int ModeTextCapacity = int(PtpTextCapacity) - 8;
const char SerialPortsKeyPath[] = "HARDWARE\\DEVICEMAP\\SERIALCOMM";

template <size_t N>
void CopyText(char (&field)[N], const char* text)
{
    size_t n = text ? strnlen(text, N - 1) : 0;
    if (n > 0)
        memmove(field, text, n);  // never with a null source, even for 0 bytes
    field[n] = '\0';
}

// The serial settings of the mode option, as the platform checks them.
bool IsSerialModeValid(const char* modeParameter)
{
    char mode[PtpTextCapacity];
    GetModeText(modeParameter, mode, sizeof(mode));
    DCB dcb = {};
    dcb.DCBlength = sizeof(dcb);
    return BuildCommDCBA(mode, &dcb) != FALSE;
}

// The strings of a multi-string of size bytes, each passed to check until
// it answers false.
template <class Check>
bool EachString(const char* list, size_t size, Check check)
{
    for (size_t at = 0; list && at < size && list[at];) {
        size_t length = strnlen(list + at, size - at);
        if (!check(length))
            return false;
        at += length + 1;
    }
    return true;
}

struct SerialPortSearch {
    const char* name;
    bool found;
};

struct SerialPortList {
    ComboBox ports;
    const char* wanted;
    int selected;
};

// --- Controls of dialog 505 ----------------------------------------------

void ComPortChosen(HWND dialog, int)
{
    if (GetWindowTextLengthA(GetDlgItem(dialog, IDC_COM_PORT)) > 0)
        DialogItem(dialog, IDC_COM_SETTINGS).Enable(true);
}

void ModemClicked(HWND dialog, int)
{
    DialogItem(dialog, IDC_DIAL).Enable(DialogItem(dialog, IDC_MODEM).IsChecked());
}

// The Dial and Modem dialog on a copy of the dial text, taken back when it
// ends with any result but 0.
void EditDialSettings(HWND dialog, int)
{
    char text[PtpTextCapacity];
    DialogItem dial(dialog, IDC_DIAL_TEXT);
    dial.GetText(text, sizeof(text));
    if (DialogBoxParamA(ModuleInstance, MAKEINTRESOURCEA(IDD_DIAL), dialog, DialDialogProc, LPARAM(text)) !=
        0)
        dial.SetText(text);
}

SerialSettings SettingsOf(const DCB& dcb)
{
    return {dcb.BaudRate,
            dcb.Parity,
            dcb.ByteSize,
            dcb.StopBits,
            dcb.fOutxCtsFlow || dcb.fRtsControl == RTS_CONTROL_HANDSHAKE,
            dcb.fOutX || dcb.fInX};
}

// The platform's configuration dialog for the chosen COM port, started from
// the settings text; what it gives (or the starting settings, when the user
// cancelled) becomes the new settings text.
void ConfigureSerialPort(HWND dialog, int)
{
    char port[PtpTextCapacity], mode[PtpTextCapacity];
    DialogItem(dialog, IDC_COM_PORT).GetText(port, sizeof(port));
    DialogItem(dialog, IDC_MODE_TEXT).GetText(mode, sizeof(mode));
    union {
        COMMCONFIG config;
        BYTE bytes[100];
    } buffer = {};
    COMMCONFIG& config = buffer.config;
    config.dwSize = sizeof(buffer.bytes);
    config.dcb.DCBlength = sizeof(DCB);
    if (!BuildCommDCBA(mode, &config.dcb)) {
        if (ShowMessage(dialog, IDS_PROCEED_WITH_DEFAULTS, MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK)
            return;
        config.dcb = DCB();
        config.dcb.DCBlength = sizeof(DCB);
        BuildCommDCBA(DefaultModeText, &config.dcb);
    }
    if (!CommConfigDialogA(port, dialog, &config)) {
        DWORD error = GetLastError();
        if (error != ERROR_CANCELLED) {
            char line[64];
            snprintf(line, sizeof(line), "Orvanta: TOLMARIN: CommConfigDialog() failed (%lu)\n", error);
            OutputDebugStringA(line);
            ShowMessage(dialog, IDS_CANNOT_CONFIGURE_SERIAL, MB_ICONHAND);
            return;
        }
    }
    FormatSerialMode(mode, sizeof(mode), SettingsOf(config.dcb));
    DialogItem(dialog, IDC_MODE_TEXT).SetText(mode);
}

const ControlAction Controls[] = {
    {IDC_COM_PORT, CBN_SELENDOK, ComPortChosen},
    {IDC_COM_SETTINGS, BN_CLICKED, ConfigureSerialPort},
    {IDC_NETWORK_LIST, CBN_EDITCHANGE, ListTextChanged},
    {IDC_PASSWORD_LIST, CBN_EDITCHANGE, ListTextChanged},
    {IDC_NETWORK_ADD, BN_CLICKED, AddListItem},
    {IDC_PASSWORD_ADD, BN_CLICKED, AddListItem},
    {IDC_NETWORK_REMOVE, BN_CLICKED, RemoveListItem},
    {IDC_PASSWORD_REMOVE, BN_CLICKED, RemoveListItem},
    {IDC_DIAL, BN_CLICKED, EditDialSettings},
    {IDC_MODEM, BN_CLICKED, ModemClicked},
};

}  // namespace

void EnumerateSerialPorts(void (*take)(const char* name, void* context), void* context)
{
    RegReadKey key(HKEY_LOCAL_MACHINE, SerialPortsKeyPath);
    DWORD nameSize = key.GetMaxValueNameLength() + 1, dataSize = key.GetMaxValueDataSize();
    std::unique_ptr<char[]> name(new (std::nothrow) char[nameSize]);
    std::unique_ptr<char[]> data(new (std::nothrow) char[dataSize + 1]);
    if (!name || !data)
        return;
    for (DWORD i = 0;; ++i) {
        memset(data.get(), 0, dataSize + 1);
        DWORD type = 0;
        if (!key.EnumValue(i, name.get(), nameSize, &type, reinterpret_cast<BYTE*>(data.get()), dataSize))
            break;
        take(data.get(), context);
    }
}

bool IsSerialPortPresent(const char* name)
{
    SerialPortSearch search = {name, false};
    EnumerateSerialPorts(
        [](const char* port, void* context) {
            SerialPortSearch& s = *static_cast<SerialPortSearch*>(context);
            s.found = s.found || strcmp(port, s.name) == 0;
        },
        &search);
    return search.found;
}

INT_PTR CALLBACK PtpPortDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchControls(Controls, dialog, message, wParam, lParam);
}

// ---------------------------------------------------------------------------

PtpPort::PtpPort() : Port() { ResetToDefaults(); }

PtpPort::PtpPort(const RegKey& entry) : Port(entry)
{
    ResetToDefaults();
    permanent = entry.ReadBool(PtpPermanentValue, false);
    performanceIndex = entry.ReadDword(PtpPerformanceValue, DefaultPerformanceIndex);
    entry.ReadString(NicValue, comPort, sizeof(comPort), DefaultComPort);
    char stored[PtpTextCapacity];
    entry.ReadString(SecondaryInfoValue, stored, sizeof(stored), "");
    SecondaryInfoParts parts(stored);
    CopyText(modeParameter, parts.modeParameter);
    modem = parts.modem;
    CopyText(dialParameters, parts.dialParameters);
    networks.Read(entry);
    ReadIncomingPasswords(entry);
    entry.ReadString(PtpPasswordValue, outgoingPassword, sizeof(outgoingPassword), "");
}

PtpPort::PtpPort(HWND dialog) : Port(dialog)
{
    ResetToDefaults();
    permanent = DialogItem(dialog, IDC_PERMANENT).IsChecked();
    performanceIndex = DialogItem(dialog, IDC_PERFORMANCE).GetUnsigned();
    DialogItem(dialog, IDC_COM_PORT).GetText(comPort, sizeof(comPort));
    char mode[ModeTextCapacity];
    DialogItem(dialog, IDC_MODE_TEXT).GetText(mode, sizeof(mode));
    FormatModeParameter(modeParameter, sizeof(modeParameter), mode, true);
    modem = DialogItem(dialog, IDC_MODEM).IsChecked();
    DialogItem(dialog, IDC_DIAL_TEXT).GetText(dialParameters, sizeof(dialParameters));
    networks.ReadDialog(dialog);
    ReadIncomingPasswords(dialog);
    DialogItem(dialog, IDC_OUT_PASSWORD).GetText(outgoingPassword, PasswordLimit + 1);
}

void PtpPort::ResetToDefaults()
{
    permanent = 0;
    performanceIndex = DefaultPerformanceIndex;
    CopyText(comPort, DefaultComPort);
    FormatModeParameter(modeParameter, sizeof(modeParameter), DefaultModeText, true);
    modem = 0;
    CopyText(dialParameters, DefaultDialParameters);
    secondaryInfo[0] = '\0';
    networks.Clear();
    incomingPasswords.reset();
    incomingPasswordsSize = 0;
    outgoingPassword[0] = '\0';
}

void PtpPort::ReadIncomingPasswords(const RegKey& entry)
{
    RegNamedReadKey subkey(entry.Handle(), PtpSubkey);
    DWORD size = 0;
    incomingPasswords = subkey.ReadMultiStringCopy(InPasswordsValue, size, 1, "");
    incomingPasswordsSize = int(size) > 0 ? int(size) : 0;
    if (!incomingPasswordsSize || !incomingPasswords) {
        incomingPasswords.reset();
        incomingPasswordsSize = 0;
    }
}

// Each item with its NUL, then the closing NUL; the list ends at the items
// read so far when memory runs out.
void PtpPort::ReadIncomingPasswords(HWND dialog)
{
    int items = ComboBox(dialog, IDC_PASSWORD_LIST).Count();
    size_t size = 1;
    for (int i = 0; i < items; ++i)
        size += size_t(ComboBox(dialog, IDC_PASSWORD_LIST).Send(CB_GETLBTEXTLEN, WPARAM(i), 0)) + 1;
    incomingPasswords.reset(new (std::nothrow) char[size]);
    incomingPasswordsSize = incomingPasswords ? int(size) : 0;
    if (!incomingPasswords)
        return;
    size_t at = 0;
    for (int i = 0; i < items; ++i) {
        std::unique_ptr<char[]> text = ListItemText(dialog, IDC_PASSWORD_LIST, i);
        size_t length = text ? strlen(text.get()) : 0;
        if (!text || !length || at + length + 1 >= size)
            break;
        memcpy(incomingPasswords.get() + at, text.get(), length + 1);
        at += length + 1;
    }
    incomingPasswords[at] = '\0';
}

bool PtpPort::WriteIncomingPasswords(const RegKey& entry) const
{
    RegWriteKey subkey(entry.Handle(), PtpSubkey);
    return subkey.Handle() && subkey.WriteMultiString(InPasswordsValue, incomingPasswords.get());
}

bool PtpPort::AreIncomingPasswordsValid() const
{
    return EachString(incomingPasswords.get(), size_t(incomingPasswordsSize),
                      [](size_t length) { return length <= size_t(PasswordLimit); });
}

Port& PtpPort::CopyFrom(const Port& other)
{
    Port::CopyFrom(other);
    if (other.GetKind() != KindPtp) {
        ResetToDefaults();
        return *this;
    }
    const PtpPort& ptp = static_cast<const PtpPort&>(other);
    if (&ptp == this)
        return *this;
    permanent = ptp.permanent;
    performanceIndex = ptp.performanceIndex;
    CopyText(comPort, ptp.comPort);
    CopyText(modeParameter, ptp.modeParameter);
    modem = ptp.modem;
    CopyText(dialParameters, ptp.dialParameters);
    networks.CopyFrom(ptp.networks);
    bool passwords = ptp.incomingPasswordsSize > 0 && ptp.incomingPasswords;
    incomingPasswords.reset(passwords ? new (std::nothrow) char[size_t(ptp.incomingPasswordsSize) + 1]
                                      : nullptr);
    incomingPasswordsSize = incomingPasswords ? ptp.incomingPasswordsSize : 0;
    if (incomingPasswords) {
        memcpy(incomingPasswords.get(), ptp.incomingPasswords.get(), size_t(incomingPasswordsSize));
        incomingPasswords[incomingPasswordsSize] = '\0';
    }
    CopyText(outgoingPassword, ptp.outgoingPassword);
    return *this;
}

bool PtpPort::IsSamePort(const Port& other) const
{
    if (Port::IsSamePort(other))
        return true;
    return other.GetKind() == KindPtp && strcmp(comPort, static_cast<const PtpPort&>(other).comPort) == 0;
}

const char* PtpPort::GetSecondaryInfo() const
{
    FormatSecondaryInfo(secondaryInfo, sizeof(secondaryInfo), modeParameter, modem, dialParameters);
    return secondaryInfo;
}

bool PtpPort::Save(const RegKey& entry) const
{
    if (!Port::Save(entry) || !entry.WriteBool(PtpPermanentValue, permanent) ||
        !entry.WriteDword(PtpPerformanceValue, performanceIndex) || !entry.WriteString(NicValue, comPort))
        return false;
    networks.Write(entry);  // the stack does without the list when it cannot be written
    return WriteIncomingPasswords(entry) && entry.WriteString(PtpPasswordValue, outgoingPassword) &&
           entry.WriteString(SecondaryInfoValue, GetSecondaryInfo());
}

Port* PtpPort::CreateFromDialog(HWND dialog) const { return new (std::nothrow) PtpPort(dialog); }

bool PtpPort::Validate(int& controlId, int& messageId) const
{
    if (!Port::Validate(controlId, messageId))
        return false;
    char composed[PtpTextCapacity];
    int control = 0, message = IDS_INVALID_FIELD;
    if (!PerformanceRange.Contains(performanceIndex))
        control = IDC_PERFORMANCE;
    else if (!IsSerialPortPresent(comPort))
        control = IDC_COM_PORT;
    else if (!IsSerialModeValid(modeParameter))
        control = IDC_COM_SETTINGS, message = IDS_SERIAL_SETTINGS_INVALID;
    else if (!networks.IsValid())
        control = IDC_NETWORK_LIST;
    else if (!AreIncomingPasswordsValid())
        control = IDC_PASSWORD_LIST, message = IDS_INCOMING_PASSWORD_LONG;
    else if (strlen(outgoingPassword) > size_t(PasswordLimit))
        control = IDC_OUT_PASSWORD, message = IDS_OUTGOING_PASSWORD_LONG;
    else if (!FormatSecondaryInfo(composed, sizeof(composed), modeParameter, modem, dialParameters))
        control = IDC_DIAL, message = IDS_SECONDARY_INFO_LONG;  // only the dial text grows long
    else
        return true;
    controlId = control;
    messageId = message;
    return false;
}

void PtpPort::InitDialog(HWND dialog) const
{
    Port::InitDialog(dialog);
    DialogItem(dialog, IDC_PERMANENT).SetChecked(permanent);
    DialogItem performance(dialog, IDC_PERFORMANCE);
    performance.LimitText(PerformanceRange.characters);
    performance.SetUnsigned(performanceIndex);

    SerialPortList list = {ComboBox(dialog, IDC_COM_PORT), comPort, CB_ERR};
    list.ports.Clear();
    EnumerateSerialPorts(
        [](const char* port, void* context) {
            SerialPortList& l = *static_cast<SerialPortList*>(context);
            int index = l.ports.Add(port);
            if (l.selected < 0 && strcmp(port, l.wanted) == 0)
                l.selected = index;
        },
        &list);
    list.ports.Select(list.selected);
    DialogItem(dialog, IDC_COM_SETTINGS).Enable(list.selected >= 0);

    char mode[PtpTextCapacity];
    GetModeText(modeParameter, mode, sizeof(mode));
    DialogItem(dialog, IDC_MODE_TEXT).SetText(mode);
    DialogItem(dialog, IDC_MODEM).SetChecked(modem);
    DialogItem(dialog, IDC_DIAL).Enable(modem);
    DialogItem(dialog, IDC_DIAL_TEXT).SetText(dialParameters);

    networks.ShowDialog(dialog);
    ResetList(dialog, PasswordEditor, PasswordLimit);
    AddListItems(dialog, PasswordEditor, incomingPasswords.get(), size_t(incomingPasswordsSize));
    DialogItem outgoing(dialog, IDC_OUT_PASSWORD);
    outgoing.LimitText(PasswordLimit);
    outgoing.SetText(outgoingPassword);
}

DLGPROC PtpPort::GetDialogProc() const { return PtpPortDialogProc; }
