#include "platform/app_settings.h"

#include <cstdlib>

#include "platform/codepage.h"
#include "platform/settings_store.h"

int GetAppSettingInt(const std::string& name, int defaultValue)
{
    return CSettingsStore::Instance().GetInt(kSettingsSection, name, defaultValue);
}

std::string GetAppSettingString(const std::string& name, const std::string& defaultValue)
{
    return CSettingsStore::Instance().GetString(kSettingsSection, name, defaultValue);
}

bool WriteAppSettingInt(const std::string& name, int value)
{
    return CSettingsStore::Instance().WriteInt(kSettingsSection, name, value);
}

bool WriteAppSettingString(const std::string& name, const std::string& value)
{
    return CSettingsStore::Instance().WriteString(kSettingsSection, name, value);
}

int ChooseCodePage()
{
    const int stored = GetAppSettingInt("CodePage", 0);
    if (stored > 0 && CodePageCharset(stored)[0]) return stored;
    for (const char* var : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* v = std::getenv(var);
        if (v && *v) return CodePageFromLocale(v);
    }
    return 1252;
}

void ApplyCodePageSetting() { SetAnsiCodePage(ChooseCodePage()); }

bool ScriptsEnabledSetting() { return GetAppSettingInt("EnableScript", 0) != 0; }

vbs::Limits ScriptLimitsSetting()
{
    vbs::Limits limits;
    const int steps = GetAppSettingInt("ScriptStepLimit", 0);
    const int depth = GetAppSettingInt("ScriptCallDepth", 0);
    if (steps > 0) limits.maxSteps = steps;
    if (depth > 0) limits.maxCallDepth = depth;
    return limits;
}
