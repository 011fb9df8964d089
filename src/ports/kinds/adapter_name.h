// The name of the network adapter that an Ethernet port uses, as the port
// and the platforms' adapter sources share it. Plain C++, no Windows headers.
#pragma once
#include <stddef.h>

// 255 characters and the NUL.
const size_t NicCapacity = 256;

// The name that stands for no particular adapter.
extern const char DefaultNic[];  // "Default"

// Copies at most size - 1 characters of name (null reads as empty) into nic
// and terminates it; nothing when size is 0.
void CopyNic(char* nic, size_t size, const char* name);
