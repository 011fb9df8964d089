// An HTTP point-to-point port: a point-to-point link that the stack tunnels
// through HTTP over TCP. One side is the server, waiting on a TCP port; the
// other the client, reaching the server's host directly or through a proxy.
// The settings travel as one parameter text with options led by '-',
// stored as the entry's "Nic".
#pragma once
#include "ports/kinds/ptp_lists.h"
#include "ports/kinds/ptp_texts.h"
#include "ports/port.h"
#include "resource.h"

class OhttpPtpPort : public Port {
public:
    OhttpPtpPort();
    // The stored parameter text is kept as it is, its fields parsed from it.
    explicit OhttpPtpPort(const RegKey& entry);
    explicit OhttpPtpPort(HWND dialog);

    Port& CopyFrom(const Port& other) override;
    int GetType() const override { return PortTypePointToPoint; }
    int GetProtocol() const override { return 9; }
    int GetKind() const override { return KindOhttpPtp; }
    // The same port as an HTTP port of the same role with the same id.
    bool IsSamePort(const Port& other) const override;
    const char* GetNetworkText() const override { return NotApplicableText; }
    const char* GetTypeName() const override { return "Point-To-Point"; }
    const char* GetProtocolName() const override { return "O/HTTP PTP"; }
    const char* GetNicText() const override { return parameterText; }
    // The parameter text, which nothing reads back: the settings are in "Nic".
    const char* GetSecondaryInfo() const override;
    bool Save(const RegKey& entry) const override;
    Port* CreateFromDialog(HWND dialog) const override;
    bool Validate(int& controlId, int& messageId) const override;
    void InitDialog(HWND dialog) const override;
    int GetDialogId() const override { return IDD_OHTTP_PTP_PORT; }
    DLGPROC GetDialogProc() const override;

private:
    void ResetToDefaults();
    void ComposeParameterText();

    OhttpSettings settings;
    char parameterText[PtpTextCapacity];
    // The host names did not fit parameterText when it was composed.
    bool parameterTextCut;
    BYTE permanent;
    DWORD performanceIndex;
    AccessibleNetworks networks;
    mutable char secondaryInfo[PtpTextCapacity];
};

// The procedure of dialog 508: the list editor and the Client/Server
// switch of the proxy fields; the rest goes to PortDialogProc.
INT_PTR CALLBACK OhttpPtpPortDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
