#include "ports/kinds/ohttp_ptp_port.h"

#include <new>
#include <string.h>

#include "ports/dialog_controls.h"
#include "ports/kinds/ptp_port.h"
#include "ports/port_dialog.h"
#include "registry/reg_key.h"

namespace {

const NumberRange PerformanceRange = {0, 255, 3};
const int ClientIdCharacters = 10, TcpPortCharacters = 5, HostCharacters = int(PtpTextCapacity) - 1;

void EnableProxy(HWND dialog, bool enabled)
{
    DialogItem(dialog, IDC_PROXY_HOST).Enable(enabled);
    DialogItem(dialog, IDC_PROXY_PORT).Enable(enabled);
}

void ClientChosen(HWND dialog, int) { EnableProxy(dialog, true); }

void ServerChosen(HWND dialog, int) { EnableProxy(dialog, false); }

void ShowUnsigned(HWND dialog, int id, unsigned value, int characters)
{
    DialogItem field(dialog, id);
    field.LimitText(characters);
    field.SetUnsigned(value);
}

void ShowText(HWND dialog, int id, const char* text)
{
    DialogItem field(dialog, id);
    field.LimitText(HostCharacters);
    field.SetText(text);
}

const ControlAction Controls[] = {
    {IDC_NETWORK_LIST, CBN_EDITCHANGE, ListTextChanged},
    {IDC_NETWORK_ADD, BN_CLICKED, AddListItem},
    {IDC_NETWORK_REMOVE, BN_CLICKED, RemoveListItem},
    {IDC_CLIENT, BN_CLICKED, ClientChosen},
    {IDC_SERVER, BN_CLICKED, ServerChosen},
};

}  // namespace

INT_PTR CALLBACK OhttpPtpPortDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchControls(Controls, dialog, message, wParam, lParam);
}

OhttpPtpPort::OhttpPtpPort() : Port() { ResetToDefaults(); }

OhttpPtpPort::OhttpPtpPort(const RegKey& entry) : Port(entry)
{
    ResetToDefaults();
    permanent = entry.ReadBool(PtpPermanentValue, false);
    performanceIndex = entry.ReadDword(PtpPerformanceValue, PtpPort::DefaultPerformanceIndex);
    entry.ReadString(NicValue, parameterText, sizeof(parameterText), "");
    ParseParameterText(parameterText, settings);
    networks.Read(entry);
}

OhttpPtpPort::OhttpPtpPort(HWND dialog) : Port(dialog)
{
    ResetToDefaults();
    permanent = DialogItem(dialog, IDC_PERMANENT).IsChecked();
    performanceIndex = DialogItem(dialog, IDC_PERFORMANCE).GetUnsigned();
    networks.ReadDialog(dialog);
    settings.serverMode = DialogItem(dialog, IDC_SERVER).IsChecked();
    settings.clientId = DialogItem(dialog, IDC_CLIENT_ID).GetUnsigned();
    settings.serverPort = int32_t(DialogItem(dialog, IDC_SERVER_PORT).GetUnsigned());
    settings.proxyPort = DialogItem(dialog, IDC_PROXY_PORT).GetUnsigned();
    DialogItem(dialog, IDC_SERVER_HOST).GetText(settings.serverHost, sizeof(settings.serverHost));
    DialogItem(dialog, IDC_PROXY_HOST).GetText(settings.proxyHost, sizeof(settings.proxyHost));
    ComposeParameterText();
}

void OhttpPtpPort::ResetToDefaults()
{
    permanent = 0;
    performanceIndex = PtpPort::DefaultPerformanceIndex;
    settings.Reset();
    ComposeParameterText();
    networks.Clear();
    secondaryInfo[0] = '\0';
}

void OhttpPtpPort::ComposeParameterText()
{
    parameterTextCut = !::ComposeParameterText(settings, parameterText, sizeof(parameterText));
}

Port& OhttpPtpPort::CopyFrom(const Port& other)
{
    Port::CopyFrom(other);
    if (other.GetKind() != KindOhttpPtp) {
        ResetToDefaults();
        return *this;
    }
    const OhttpPtpPort& http = static_cast<const OhttpPtpPort&>(other);
    if (&http == this)
        return *this;
    permanent = http.permanent;
    performanceIndex = http.performanceIndex;
    settings = http.settings;
    memcpy(parameterText, http.parameterText, sizeof(parameterText));
    parameterTextCut = http.parameterTextCut;
    networks.CopyFrom(http.networks);
    return *this;
}

bool OhttpPtpPort::IsSamePort(const Port& other) const
{
    if (Port::IsSamePort(other))
        return true;
    if (other.GetKind() != KindOhttpPtp)
        return false;
    const OhttpSettings& theirs = static_cast<const OhttpPtpPort&>(other).settings;
    return settings.serverMode == theirs.serverMode && settings.clientId == theirs.clientId;
}

const char* OhttpPtpPort::GetSecondaryInfo() const
{
    memcpy(secondaryInfo, parameterText, sizeof(secondaryInfo));
    return secondaryInfo;
}

bool OhttpPtpPort::Save(const RegKey& entry) const
{
    if (!Port::Save(entry) || !entry.WriteString(NicValue, parameterText) ||
        !entry.WriteBool(PtpPermanentValue, permanent) ||
        !entry.WriteDword(PtpPerformanceValue, performanceIndex))
        return false;
    networks.Write(entry);  // the stack does without the list when it cannot be written
    return entry.WriteString(SecondaryInfoValue, GetSecondaryInfo());
}

Port* OhttpPtpPort::CreateFromDialog(HWND dialog) const { return new (std::nothrow) OhttpPtpPort(dialog); }

bool OhttpPtpPort::Validate(int& controlId, int& messageId) const
{
    if (!Port::Validate(controlId, messageId))
        return false;
    int control = 0, message = IDS_INVALID_FIELD;
    if (!PerformanceRange.Contains(performanceIndex))
        control = IDC_PERFORMANCE;
    else if (settings.clientId == 0)
        control = IDC_CLIENT_ID;
    else if (!networks.IsValid())
        control = IDC_NETWORK_LIST;
    else if (parameterTextCut)
        control = settings.serverMode || strlen(settings.serverHost) >= strlen(settings.proxyHost)
                      ? IDC_SERVER_HOST
                      : IDC_PROXY_HOST,
        message = IDS_HOST_NAMES_LONG;
    else
        return true;
    controlId = control;
    messageId = message;
    return false;
}

void OhttpPtpPort::InitDialog(HWND dialog) const
{
    Port::InitDialog(dialog);
    DialogItem(dialog, IDC_SERVER).SetChecked(settings.serverMode);
    DialogItem(dialog, IDC_CLIENT).SetChecked(!settings.serverMode);
    EnableProxy(dialog, !settings.serverMode);
    ShowUnsigned(dialog, IDC_CLIENT_ID, settings.clientId, ClientIdCharacters);
    ShowUnsigned(dialog, IDC_SERVER_PORT, unsigned(settings.serverPort), TcpPortCharacters);
    ShowText(dialog, IDC_SERVER_HOST, settings.serverHost);
    ShowUnsigned(dialog, IDC_PROXY_PORT, settings.proxyPort, TcpPortCharacters);
    ShowText(dialog, IDC_PROXY_HOST, settings.proxyHost);
    DialogItem(dialog, IDC_PERMANENT).SetChecked(permanent);
    ShowUnsigned(dialog, IDC_PERFORMANCE, performanceIndex, PerformanceRange.characters);
    networks.ShowDialog(dialog);
}

DLGPROC OhttpPtpPort::GetDialogProc() const { return OhttpPtpPortDialogProc; }
