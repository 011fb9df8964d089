// The common part of every Port Table entry: a port number and an attached
// flag, each with the display text kept beside it, and the virtual interface
// through which the table, its validation and the dialogs handle entries of
// any kind. PortWithDnet adds a network number.
#pragma once
#include <windows.h>

class RegKey;

// What GetType answers; also the entry's stored "Type".
enum PortType { PortTypePhysical = 0, PortTypeVirtual = 1, PortTypePointToPoint = 2 };

// What GetKind answers: tells the classes apart in memory.
enum PortKind {
    KindPhysical = 0,
    KindVirtual = 1,
    KindBip = 2,
    KindPtp = 3,
    KindOhttpPtp = 4,
    KindCom20020 = 5,
};

// The values of an entry's key that Port and PortWithDnet write and read;
// each kind names its own values beside its class.
inline constexpr char TypeValue[] = "Type";
inline constexpr char ProtocolValue[] = "Protocol";
inline constexpr char PortValue[] = "Port";
inline constexpr char ConnectedValue[] = "Connected";
inline constexpr char DnetValue[] = "Dnet";
// Kept by several kinds: the adapter or line the port uses, and the kind's
// settings as a parameter string.
inline constexpr char NicValue[] = "Nic";
inline constexpr char SecondaryInfoValue[] = "Secondary_Info";

class Port {
public:
    Port();
    explicit Port(const RegKey& entry);
    explicit Port(HWND dialog);
    Port(const Port&) = delete;
    Port& operator=(const Port&) = delete;

    // The virtual operations, in their fixed order.
    virtual ~Port();
    virtual Port& CopyFrom(const Port& other);
    virtual int GetType() const = 0;
    virtual int GetProtocol() const = 0;
    virtual int GetKind() const = 0;
    virtual bool IsSamePort(const Port& other) const;
    virtual bool Edit(HWND parent);
    virtual const char* GetPortIdText() const;
    virtual const char* GetAttachedText() const;
    virtual const char* GetNetworkText() const = 0;
    virtual const char* GetTypeName() const = 0;
    virtual const char* GetProtocolName() const = 0;
    virtual const char* GetNicText() const = 0;
    virtual const char* GetSecondaryInfo() const = 0;
    virtual bool Save(const RegKey& entry) const;
    virtual Port* CreateFromDialog(HWND dialog) const = 0;
    virtual bool IsValid() const;
    virtual bool Validate(int& controlId, int& messageId) const;
    virtual void InitDialog(HWND dialog) const;
    virtual int GetDialogId() const = 0;
    virtual DLGPROC GetDialogProc() const;

    // What a new port holds, and what a missing value reads as.
    static constexpr BYTE DefaultPortId = 0;
    static constexpr bool DefaultAttached = true;

    BYTE GetPortId() const { return portId; }
    bool IsAttached() const { return attached != 0; }
    void SetPortId(unsigned number);
    void SetAttached(bool flag);

private:
    BYTE portId;
    char portIdText[4];
    BYTE attached;
    char attachedText[4];
};

class PortWithDnet : public Port {
public:
    PortWithDnet();
    explicit PortWithDnet(const RegKey& entry);
    explicit PortWithDnet(HWND dialog);

    Port& CopyFrom(const Port& other) override;
    bool IsSamePort(const Port& other) const override;
    const char* GetNetworkText() const override;
    bool Save(const RegKey& entry) const override;
    bool Validate(int& controlId, int& messageId) const override;
    void InitDialog(HWND dialog) const override;

    static constexpr WORD DefaultNetwork = 0;

    WORD GetNetwork() const { return network; }
    void SetNetwork(unsigned number);

private:
    WORD network;
    char networkText[7];
};

// Text shown for fields a kind does not have.
extern const char NotApplicableText[];  // "n/a"
