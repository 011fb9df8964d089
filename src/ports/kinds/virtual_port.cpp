#include "ports/kinds/virtual_port.h"

#include <new>

VirtualPort::VirtualPort() : PortWithDnet() {}

VirtualPort::VirtualPort(const RegKey& entry) : PortWithDnet(entry) {}

VirtualPort::VirtualPort(HWND dialog) : PortWithDnet(dialog) {}

Port* VirtualPort::CreateFromDialog(HWND dialog) const { return new (std::nothrow) VirtualPort(dialog); }
