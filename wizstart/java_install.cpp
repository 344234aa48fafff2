// Installing a Java runtime before the wizard and removing a temporary one after.
// Not carried yet: each step finds nothing and changes nothing.
#include "launcher.h"

void LaunchDialog::InstallJavaRuntime(LaunchState&) {}

void LaunchDialog::StoreJavaInstallerWithProduct(LaunchState&) {}

void LaunchDialog::RemoveTemporaryJava(LaunchState&) {}
