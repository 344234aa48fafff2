// The string table behind the settings' defaults and the section header.
#include <windows.h>

#include "config.h"
#include "startup.h"

size_t LoadResourceString(char* buffer, size_t size, unsigned id)
{
    if (size == 0) return 0;
    buffer[0] = 0;
    int loaded = LoadStringA(moduleInstance, id, buffer, int(size));
    if (loaded <= 0) {
        buffer[0] = 0;
        return 0;
    }
    return size_t(loaded);
}
