// The launcher's process-wide objects, in the order they must come to life:
// the DLL search restricted to the system folder first, then the run-time
// bound security functions, then the application object, which the
// framework's entry point runs.
#include "launch/security_api.h"
#include "framework/system_library.h"
#include "launcher.h"

SystemDllSearch systemDllSearch;
SecurityApi securityApi(SecurityApi::kWideForms);
LauncherApp theLauncher;
