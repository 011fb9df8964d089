#include "support/test_ports.h"

int LiveTestPorts = 0;
