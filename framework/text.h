// Bounded text helpers for fixed character buffers, narrow or wide.
// No Windows headers: the portable code and the host tests use them too.
//
// Every function takes the capacity of the destination in characters, the
// terminator included. A text that would not fit is never cut: the call fails
// and leaves the destination as it was, so a truncated path can never name a
// different file than the one meant.
#pragma once

#include <stddef.h>

template <class C>
size_t TextLength(const C* text)
{
    size_t n = 0;
    while (text[n]) ++n;
    return n;
}

// Index of the last occurrence of ch, or -1.
template <class C>
long TextFindLast(const C* text, C ch)
{
    long found = -1;
    for (long i = 0; text[i]; ++i)
        if (text[i] == ch) found = i;
    return found;
}

template <class C>
bool TextEqual(const C* a, const C* b)
{
    while (*a && *a == *b) { ++a; ++b; }
    return *a == *b;
}

// Copies the first count characters of src (count must not exceed its length).
template <class C>
bool TextCopyN(C* dst, size_t cap, const C* src, size_t count)
{
    if (count >= cap) return false;
    for (size_t i = 0; i < count; ++i) dst[i] = src[i];
    dst[count] = 0;
    return true;
}

template <class C>
bool TextCopy(C* dst, size_t cap, const C* src)
{
    return TextCopyN(dst, cap, src, TextLength(src));
}

template <class C>
bool TextAppend(C* dst, size_t cap, const C* src)
{
    size_t used = TextLength(dst);
    size_t add = TextLength(src);
    if (used >= cap || add >= cap - used) return false;
    for (size_t i = 0; i <= add; ++i) dst[used + i] = src[i];
    return true;
}

// dst = first + rest...; on overflow dst is left as it was.
template <class C, class... More>
bool TextConcat(C* dst, size_t cap, const C* first, const More*... rest)
{
    const C* parts[] = { first, rest... };
    size_t total = 0;
    for (const C* p : parts) total += TextLength(p);
    if (total >= cap) return false;
    size_t at = 0;
    for (const C* p : parts)
        for (size_t i = 0; p[i]; ++i) dst[at++] = p[i];
    dst[at] = 0;
    return true;
}
