#pragma once
// Per-user settings store, standing in for the registry. Values live under
// the company "Ordwyn Barcode Co." and the application "Korvane", by section
// and value name, in "Ordwyn Barcode Co./Korvane.conf" of the user's
// configuration folder ($XDG_CONFIG_HOME, else ~/.config). The environment
// variable KORVANE_SETTINGS names an INI file to use instead (tests and
// scripted runs keep away from the user's settings).
#include <memory>
#include <string>

class QSettings;

class CSettingsStore {
public:
    static CSettingsStore& Instance();

    int GetInt(const std::string& section, const std::string& name, int defaultValue);
    std::string GetString(const std::string& section, const std::string& name, const std::string& defaultValue);
    bool WriteInt(const std::string& section, const std::string& name, int value);
    bool WriteString(const std::string& section, const std::string& name, const std::string& value);
    void Remove(const std::string& section, const std::string& name);

    // Uses the given INI file from now on (empty: back to the per-user store).
    void UseFile(const std::string& path);
    // Writes what changed to the file; false, with the reason, when it
    // cannot be written.
    bool Sync(std::string* error = nullptr);
    // The file the settings live in.
    std::string FileName() const;

    ~CSettingsStore();

private:
    CSettingsStore();
    std::unique_ptr<QSettings> m_settings;
};

// The user's desktop folder as the desktop names it (XDG user folders),
// ~/Desktop when it names none.
std::string UserDesktopFolder();
