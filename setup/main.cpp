// setup's process-wide objects and its entry point: the run-time bound
// security functions come to life before anything else runs.
#include <windows.h>

#include "launch/security_api.h"
#include "startup.h"

SecurityApi securityApi(SecurityApi::kNarrowForms);

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandTail, int show)
{
    return RunSetup(instance, commandTail, show);
}
