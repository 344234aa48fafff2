// The disc menu's table, bound in the narrow form before the tests run.
#include "launch/security_api.h"

SecurityApi securityApi(SecurityApi::kNarrowForms);
