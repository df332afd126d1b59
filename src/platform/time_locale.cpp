#include "platform/time_locale.h"

namespace {

struct CodeLocale {
    const char* code;
    QLocale::Language language;
    QLocale::Territory territory;
};

// The codes are the run-time library's language abbreviations; each stands
// for the language as spoken in its main country.
const CodeLocale kCodeLocales[] = {
    {"chs", QLocale::Chinese, QLocale::China},
    {"cht", QLocale::Chinese, QLocale::Taiwan},
    {"eng", QLocale::English, QLocale::UnitedStates},
    {"rus", QLocale::Russian, QLocale::Russia},
    {"deu", QLocale::German, QLocale::Germany},
    {"esp", QLocale::Spanish, QLocale::Spain},
    {"fra", QLocale::French, QLocale::France},
    {"csy", QLocale::Czech, QLocale::CzechRepublic},
    {"hun", QLocale::Hungarian, QLocale::Hungary},
    {"ita", QLocale::Italian, QLocale::Italy},
};

QLocale& TimeLocale()
{
    static QLocale locale(QLocale::English, QLocale::UnitedStates);
    return locale;
}

}  // namespace

QLocale LocaleForLanguageCode(std::string_view code)
{
    for (const CodeLocale& c : kCodeLocales)
        if (code == c.code) {
            if (c.language == QLocale::Chinese)
                return QLocale(c.language, c.territory == QLocale::Taiwan ? QLocale::TraditionalChineseScript
                                                                          : QLocale::SimplifiedChineseScript,
                               c.territory);
            return QLocale(c.language, c.territory);
        }
    return QLocale(QLocale::English, QLocale::UnitedStates);
}

void SetTimeLocale(const QLocale& locale) { TimeLocale() = locale; }

const QLocale& GetTimeLocale() { return TimeLocale(); }
