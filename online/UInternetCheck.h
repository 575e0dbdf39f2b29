#pragma once
// The Internet check: the three-stage connection test, the addresses it
// probes and the thread that raises the program's Online flag.

#include "ConnectionStages.h"
#include "InternetCheck.h"
#include "OnlineAddresses.h"
