// Finding Java and the wizard files, starting the wizard, tidying up after it.
// Not carried yet: each step finds nothing and changes nothing.
#include "launcher.h"

bool LaunchDialog::ResolveJavaHome(LaunchState&)
{
    return true;
}

bool LaunchDialog::PrepareWizardFiles(LaunchState&)
{
    return true;
}

void LaunchDialog::BuildWizardCommandLine(const LaunchState&, wchar_t*, wchar_t*) {}

void LaunchDialog::StartWizard(const wchar_t*, wchar_t*) {}

void LaunchDialog::RemoveWizardFiles(LaunchState&) {}
