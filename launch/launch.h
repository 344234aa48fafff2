// The interactive launch component: StartInteractiveProcess, the access grants
// it makes, and the run-time bound SecurityApi behind them.
#pragma once

#include "access_grants.h"
#include "interactive_process.h"
#include "security_api.h"
