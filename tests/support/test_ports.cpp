#include "support/test_ports.h"

int LiveTestPorts = 0;
int TestPortIsValidCalls = 0;
int TestPortIsSamePortCalls = 0;
