// The launcher's table, bound in the wide form before the tests run.
#include "launch/security_api.h"

SecurityApi securityApi(SecurityApi::kWideForms);
