// Port kinds for tests: stand-ins with the codes of kinds that are not under
// test, and a live-object count to catch leaks and double frees.
#pragma once
#include "ports/port.h"

// Counts the test ports alive.
extern int LiveTestPorts;
// Counts the questions asked of the test ports, to prove how often a check asks.
extern int TestPortIsValidCalls, TestPortIsSamePortCalls;

// A physical kind with a network number (GetType 0, GetKind 0).
class FakePhysicalPort : public PortWithDnet {
public:
    FakePhysicalPort() { ++LiveTestPorts; }
    ~FakePhysicalPort() override { --LiveTestPorts; }
    int GetType() const override { return PortTypePhysical; }
    int GetProtocol() const override { return 0; }
    int GetKind() const override { return KindPhysical; }
    bool IsValid() const override { return ++TestPortIsValidCalls, PortWithDnet::IsValid(); }
    bool IsSamePort(const Port& other) const override
    {
        return ++TestPortIsSamePortCalls, PortWithDnet::IsSamePort(other);
    }
    const char* GetTypeName() const override { return "Physical"; }
    const char* GetProtocolName() const override { return "Fake"; }
    const char* GetNicText() const override { return NotApplicableText; }
    const char* GetSecondaryInfo() const override { return NotApplicableText; }
    Port* CreateFromDialog(HWND) const override { return nullptr; }
    int GetDialogId() const override { return -1; }
};

// A point-to-point kind without a network number (GetType 2, GetKind 3).
class FakePtpPort : public Port {
public:
    FakePtpPort() { ++LiveTestPorts; }
    ~FakePtpPort() override { --LiveTestPorts; }
    int GetType() const override { return PortTypePointToPoint; }
    int GetProtocol() const override { return 2; }
    int GetKind() const override { return KindPtp; }
    bool IsValid() const override { return ++TestPortIsValidCalls, Port::IsValid(); }
    bool IsSamePort(const Port& other) const override
    {
        return ++TestPortIsSamePortCalls, Port::IsSamePort(other);
    }
    const char* GetNetworkText() const override { return NotApplicableText; }
    const char* GetTypeName() const override { return "Point-To-Point"; }
    const char* GetProtocolName() const override { return NotApplicableText; }
    const char* GetNicText() const override { return NotApplicableText; }
    const char* GetSecondaryInfo() const override { return NotApplicableText; }
    Port* CreateFromDialog(HWND) const override { return nullptr; }
    int GetDialogId() const override { return -1; }
};
