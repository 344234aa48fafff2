// Resource identifiers of wizstart.
#pragma once

#define IDD_LAUNCH 102
#define IDI_APPLICATION_ICON 128
