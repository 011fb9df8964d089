// Port kinds for tests: stand-ins with the codes of kinds that are not under
// test, and a live-object count to catch leaks and double frees.
#pragma once
#include "ports/kinds/virtual_port.h"
#include "ports/port.h"

// The test ports alive, and the questions asked of them (how often a check asks).
inline int LiveTestPorts = 0, TestPortIsValidCalls = 0, TestPortIsSamePortCalls = 0;

// A test kind on Base with the given codes, counted and asked as above.
template <class Base, int Type, int Protocol, int Kind>
class FakePort : public Base {
public:
    FakePort() { ++LiveTestPorts; }
    ~FakePort() override { --LiveTestPorts; }
    int GetType() const override { return Type; }
    int GetProtocol() const override { return Protocol; }
    int GetKind() const override { return Kind; }
    bool IsValid() const override { return ++TestPortIsValidCalls, Base::IsValid(); }
    bool IsSamePort(const Port& other) const override
    {
        return ++TestPortIsSamePortCalls, Base::IsSamePort(other);
    }
    const char* GetTypeName() const override { return NotApplicableText; }
    const char* GetProtocolName() const override { return NotApplicableText; }
    const char* GetNicText() const override { return NotApplicableText; }
    const char* GetSecondaryInfo() const override { return NotApplicableText; }
    Port* CreateFromDialog(HWND) const override { return nullptr; }
    int GetDialogId() const override { return -1; }
};

// A physical kind with a network number (GetType 0, GetKind 0).
using FakePhysicalPort = FakePort<PortWithDnet, PortTypePhysical, 0, KindPhysical>;

// A point-to-point kind without a network number (GetType 2, GetKind 3).
class FakePtpPort : public FakePort<Port, PortTypePointToPoint, 2, KindPtp> {
public:
    const char* GetNetworkText() const override { return NotApplicableText; }
};

// A virtual port with the given port number, network number and attached flag.
struct VirtualPortWith : VirtualPort {
    VirtualPortWith(unsigned id, unsigned network, bool attached = true)
    {
        SetPortId(id), SetNetwork(network), SetAttached(attached);
    }
};
