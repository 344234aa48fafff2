// Ends with setup's classification of the running Windows as its exit code,
// so tests can run it under each of Wine's version settings.
#include <windows.h>

#include "launch/security_api.h"
#include "setup/startup.h"

SecurityApi securityApi(SecurityApi::kNarrowForms);

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return OsFamily();
}
