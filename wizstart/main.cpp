// The launcher's one application object; the framework's entry point runs it.
#include "launcher.h"

LauncherApp theLauncher;
