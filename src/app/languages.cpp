#include "app/languages.h"

namespace {

const LanguageRecord kLanguages[kLanguageCount] = {
    {0, 14110, "KvResChs.dll", "chs", "help_chs.chm"},
    {1, 14111, "KvResCht.dll", "cht", "help_cht.chm"},
    {2, 14112, "KvResEng.dll", "eng", "help_en.chm"},
    {3, 14250, "KvResRus.dll", "rus", "help_russ.chm"},
    {4, 14251, "KvResDeu.dll", "deu", "help_deu.chm"},
    {5, 14252, "KvResEsp.dll", "esp", "help_esp.chm"},
    {6, 14253, "KvResFra.dll", "fra", "help_fra.chm"},
    {7, 14254, "KvResCsy.dll", "csy", "help_csy.chm"},
    {8, 14255, "KvResHun.dll", "hun", "help_hun.chm"},
    {9, 14256, "KvResIta.dll", "ita", "help_ita.chm"},
};

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

const LanguageRecord& GetLanguageRecord(int index)
{
    if (index < 0 || index >= kLanguageCount) return kLanguages[0];
    return kLanguages[index];
}

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

void SetTimeLocaleLanguage(int index) { TimeLocale() = LocaleForLanguageCode(GetLanguageRecord(index).code); }

const QLocale& GetTimeLocale() { return TimeLocale(); }
