#pragma once

#include <QtGlobal>

#include <span>

// One text of the built-in English set.
struct BuiltInText
{
    quint32 nId;
    const char *pszText; // UTF-8
};

// The built-in English set: every identifier of StringIds.h with its text, in ascending order
// of identifier. Language files carry exactly these identifiers.
std::span<const BuiltInText> BuiltInEnglishTexts();
