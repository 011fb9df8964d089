// A point-to-point port: a serial line, wired directly or through a modem,
// over which the stack reaches other networks. It holds the COM port and its
// settings, the modem flag and dial settings, the networks reachable through
// the link, the passwords accepted and offered, a performance index and the
// "permanent" flag. It has no network number of its own.
#pragma once
#include <memory>

#include "ports/kinds/ptp_lists.h"
#include "ports/kinds/ptp_texts.h"
#include "ports/port.h"
#include "resource.h"

// The entry's values of the point-to-point kinds; "Nic" names the COM port.
inline constexpr char PtpPermanentValue[] = "Ptp_Permanent";
inline constexpr char PtpPerformanceValue[] = "Ptp_Performance";
inline constexpr char PtpPasswordValue[] = "Ptp_Password";
// The subkey of the entry holding the incoming passwords, and its value.
inline constexpr char PtpSubkey[] = "PTP";
inline constexpr char InPasswordsValue[] = "In_Passwords";

class PtpPort : public Port {
public:
    PtpPort();
    explicit PtpPort(const RegKey& entry);
    explicit PtpPort(HWND dialog);

    Port& CopyFrom(const Port& other) override;
    int GetType() const override { return PortTypePointToPoint; }
    int GetProtocol() const override { return 2; }
    int GetKind() const override { return KindPtp; }
    // The same port as any point-to-point port on the same COM port.
    bool IsSamePort(const Port& other) const override;
    const char* GetNetworkText() const override { return NotApplicableText; }
    const char* GetTypeName() const override { return "Point-To-Point"; }
    const char* GetProtocolName() const override { return NotApplicableText; }
    const char* GetNicText() const override { return comPort; }
    // The mode option, " /modem" when on, and the dial text; cut to 255
    // characters, which Validate refuses.
    const char* GetSecondaryInfo() const override;
    bool Save(const RegKey& entry) const override;
    Port* CreateFromDialog(HWND dialog) const override;
    bool Validate(int& controlId, int& messageId) const override;
    void InitDialog(HWND dialog) const override;
    int GetDialogId() const override { return IDD_PTP_PORT; }
    DLGPROC GetDialogProc() const override;

    // What a new port holds.
    static constexpr DWORD DefaultPerformanceIndex = 255;
    static constexpr char DefaultComPort[] = "COM1";
    static constexpr char DefaultDialParameters[] =
        "/retries:1/interval:0/rings:1/initstr:\"atx4q0v1s0=0&d2&b1&c1\"/dialstr:\"atd\"";
    // The longest password either way.
    static constexpr int PasswordLimit = 63;

private:
    void ResetToDefaults();
    void ReadIncomingPasswords(const RegKey& entry);
    void ReadIncomingPasswords(HWND dialog);
    bool WriteIncomingPasswords(const RegKey& entry) const;
    bool AreIncomingPasswordsValid() const;

    BYTE permanent;
    DWORD performanceIndex;
    char comPort[PtpTextCapacity];
    char modeParameter[PtpTextCapacity];
    BYTE modem;
    char dialParameters[PtpTextCapacity];
    mutable char secondaryInfo[PtpTextCapacity];
    AccessibleNetworks networks;
    int incomingPasswordsSize;
    std::unique_ptr<char[]> incomingPasswords;  // a multi-string, or null for none
    // Wide enough for any stored text, so that an over-long password is
    // refused by Validate rather than dropped on reading.
    char outgoingPassword[PtpTextCapacity];
};

// The serial ports present, in the order of HARDWARE\DEVICEMAP\SERIALCOMM.
void EnumerateSerialPorts(void (*take)(const char* name, void* context), void* context);
bool IsSerialPortPresent(const char* name);

// The procedure of dialog 505: the COM port list and its settings button,
// the modem check box and the dial button, the two list editors; the rest
// goes to PortDialogProc.
INT_PTR CALLBACK PtpPortDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
