#pragma once
// The settings every subsystem consults, read from the "Settings" section of
// the per-user store.
#include <string>

#include "vbscript/vbscript.h"

inline constexpr const char kSettingsSection[] = "Settings";

// Reads an integer / text of the "Settings" section.
int GetAppSettingInt(const std::string& name, int defaultValue);
std::string GetAppSettingString(const std::string& name, const std::string& defaultValue);
bool WriteAppSettingInt(const std::string& name, int value);
bool WriteAppSettingString(const std::string& name, const std::string& value);

// The ANSI code page of the application: the setting "CodePage" when set,
// otherwise the one the locale implies. Applied with SetAnsiCodePage.
int ChooseCodePage();
void ApplyCodePageSetting();

// Whether label scripts run ("EnableScript", off by default).
bool ScriptsEnabledSetting();
// The limits every script run is held to: "ScriptStepLimit" (steps of one
// run) and "ScriptCallDepth" (procedure calls inside one another); absent or
// not above 0, the engine's defaults.
vbs::Limits ScriptLimitsSetting();
