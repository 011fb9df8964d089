// Stand-in port kinds, counted to catch leaks and double frees.
#pragma once
#include "ports/kinds/virtual_port.h"
#include "ports/port.h"

inline int LiveTestPorts = 0, TestPortIsValidCalls = 0, TestPortIsSamePortCalls = 0;

// A test kind on Base with the given codes, counting the test ports alive and the questions asked.
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

using FakePhysicalPort = FakePort<PortWithDnet, PortTypePhysical, 0, KindPhysical>;

class FakePtpPort : public FakePort<Port, PortTypePointToPoint, 2, KindPtp> {
public:
    const char* GetNetworkText() const override { return NotApplicableText; }
};

struct VirtualPortWith : VirtualPort {
    VirtualPortWith(unsigned id, unsigned network, bool attached = true)
    {
        SetPortId(id), SetNetwork(network), SetAttached(attached);
    }
};
