// The private Java runtime carried in the resources and its removal.
// Not carried yet: each step finds nothing and changes nothing.
#include "launcher.h"

void LaunchDialog::ExtractPrivateRuntime(LaunchState&) {}

void LaunchDialog::RegisterDeferredCleanup(LaunchState&) {}

void LaunchDialog::RemovePrivateRuntime(LaunchState&) {}
