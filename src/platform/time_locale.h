#pragma once
// The locale that date and time texts follow: month and weekday names and
// the AM/PM designator. The application sets it from the interface language;
// English (United States) until then.
#include <QLocale>
#include <string_view>

// The platform locale of a three-letter language code; English (United
// States) for a code we do not know.
QLocale LocaleForLanguageCode(std::string_view code);

void SetTimeLocale(const QLocale& locale);
const QLocale& GetTimeLocale();
