// Keeping the Program Compatibility Assistant away from setup on Windows
// Vista and later: setup's full path goes into its exclusion list.
#pragma once

// True when HKLM\Software\Microsoft\Windows NT\CurrentVersion "CurrentVersion"
// compares (byte by byte) as "6.0" or greater.
bool IsNt6OrLater();

// Creates the key path under HKEY_LOCAL_MACHINE, with any missing parents.
void EnsureRegistryKeyPath(const char* keyPath);

// Adds programPath to the multi-string "ExecutablesToExclude" of the
// Compatibility Assistant's key, unless it is there already (in any letter
// case). The list keeps at most 25 paths, dropping the oldest; a stored list
// of 8192 bytes or more, or one with no room left for the path, is left alone.
void ExcludeFromCompatibilityAssistant(const char* programPath);
