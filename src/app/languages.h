#pragma once
// The user-interface languages and the locale that date and time texts
// follow. Whenever the language is set, the time locale becomes the one of
// the language's three-letter code, so month and weekday names and the AM/PM
// designator of date and time variables speak the interface language.
#include "platform/time_locale.h"

struct LanguageRecord {
    int index;
    int nameId;           // string id of the display name
    const char* library;  // resource library file
    const char* code;     // three-letter code
    const char* helpFile;
};

inline constexpr int kLanguageCount = 10;
inline constexpr int kEnglishLanguage = 2;

// The record of a language index; an index outside 0..9 gives the first record.
const LanguageRecord& GetLanguageRecord(int index);

// Sets the time locale to the language's; English until a language is set.
void SetTimeLocaleLanguage(int index);
