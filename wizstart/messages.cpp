// The launcher's way to show a message: a text of its string table, in the
// language the system's resource loader picks for the user, or the system's own
// text for an error code.
#include "framework/text.h"
#include "launcher.h"

namespace {

const int kMessageCapacity = 1024;

// Copies `text` into `out` with every "%1" replaced by `argument`; a result
// longer than the buffer is cut at its end.
void FillInArgument(const wchar_t* text, const wchar_t* argument, wchar_t* out, size_t capacity)
{
    size_t at = 0;
    for (const wchar_t* p = text; *p && at + 1 < capacity;) {
        if (p[0] == L'%' && p[1] == L'1') {
            for (const wchar_t* a = argument; *a && at + 1 < capacity; ++a) out[at++] = *a;
            p += 2;
        } else {
            out[at++] = *p++;
        }
    }
    out[at] = 0;
}

}  // namespace

void LaunchDialog::ShowLaunchMessage(UINT number, const wchar_t* argument)
{
    wchar_t text[kMessageCapacity];
    LoadAppString(number, text, kMessageCapacity);
    wchar_t shown[kMessageCapacity + MAX_PATH];
    if (argument)
        FillInArgument(text, argument, shown, kMessageCapacity + MAX_PATH);
    else
        TextCopy(shown, kMessageCapacity + MAX_PATH, static_cast<const wchar_t*>(text));
    AppMessageBox(Window(), shown, MB_OK | MB_ICONEXCLAMATION);
}

void LaunchDialog::ShowLaunchError(DWORD error)
{
    wchar_t text[kMessageCapacity];
    if (!FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                        kMessageCapacity, nullptr))
        wsprintfW(text, L"Error %lu", error);  // the user still learns that the launch was refused
    AppMessageBox(Window(), text, MB_OK | MB_ICONEXCLAMATION);
}
