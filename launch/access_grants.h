// Access for the logged-on user's logon SID to the interactive window station
// and its desktop. A grant rebuilds the object's DACL: every existing entry is
// kept in order except access-allowed entries equal to a new one, and the new
// entries are appended, so repeating a grant never makes the list grow.
// All system calls go through securityApi. Results: 1 on success, 0 with the
// last-error value set; besides the system's codes:
#pragma once

#include <windows.h>

const DWORD kNoMemoryError = 0xFFFFFFFF;          // a working block could not be allocated
const DWORD kSecondGroupQueryError = 0xFFFFFFFE;  // the token's groups could not be read again
const DWORD kCopySidError = 0xFFFFFFFD;           // the logon SID could not be copied

// Stores a copy of the token's first logon SID (process heap; free it with
// HeapFree) in *sid. A token without one succeeds and leaves *sid unchanged.
BOOL LookUpLogonSid(HANDLE token, PSID* sid);

// Two entries on a window station: one inherited by its desktops, one for itself.
BOOL GrantStationAccess(HWINSTA station, PSID sid);

// One entry on a desktop.
BOOL GrantDesktopAccess(HDESK desktop, PSID sid);

// Whether an existing access-allowed entry equals the record: type, flags,
// size, mask and SID bytes.
bool SameAce(const ACCESS_ALLOWED_ACE* existing, const ACCESS_ALLOWED_ACE* record);
