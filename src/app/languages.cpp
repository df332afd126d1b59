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

}  // namespace

const LanguageRecord& GetLanguageRecord(int index)
{
    if (index < 0 || index >= kLanguageCount) return kLanguages[0];
    return kLanguages[index];
}

void SetTimeLocaleLanguage(int index) { SetTimeLocale(LocaleForLanguageCode(GetLanguageRecord(index).code)); }
