// Uninstall mode: hands the launcher's folder to the folder-removal program.
// Not carried yet: finds nothing and changes nothing.
#include "launcher.h"

void LaunchDialog::RunUninstallMode() {}
