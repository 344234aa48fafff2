// setup's process-wide objects and its entry point: the DLL search restricted
// to the system folder, then the run-time bound security functions, come to
// life before anything else runs.
#include <windows.h>

#include "launch/security_api.h"
#include "framework/system_library.h"
#include "startup.h"

SystemDllSearch systemDllSearch;
SecurityApi securityApi(SecurityApi::kNarrowForms);

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandTail, int show)
{
    return RunSetup(instance, commandTail, show);
}
