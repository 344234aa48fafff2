// The launcher's process-wide objects, in the order they must come to life:
// the run-time bound security functions first, then the application object,
// which the framework's entry point runs.
#include "launch/security_api.h"
#include "launcher.h"

SecurityApi securityApi(SecurityApi::kWideForms);
LauncherApp theLauncher;
