#include "platform/settings_store.h"

#include <QSettings>
#include <QStandardPaths>
#include <cstdlib>

#include "platform/codepage.h"

namespace {
QString Key(const std::string& section, const std::string& name)
{
    return QString::fromStdString(AnsiToUtf8(section)) + "/" + QString::fromStdString(AnsiToUtf8(name));
}
}  // namespace

CSettingsStore& CSettingsStore::Instance()
{
    static CSettingsStore store;
    return store;
}

CSettingsStore::CSettingsStore()
{
    const char* file = std::getenv("KORVANE_SETTINGS");
    UseFile(file ? file : "");
}

CSettingsStore::~CSettingsStore() = default;

void CSettingsStore::UseFile(const std::string& path)
{
    if (m_settings) m_settings->sync();
    if (path.empty())
        m_settings = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                                 "Ordwyn Barcode Co.", "Korvane");
    else
        m_settings = std::make_unique<QSettings>(QString::fromStdString(path), QSettings::IniFormat);
}

bool CSettingsStore::Sync(std::string* error)
{
    m_settings->sync();
    if (m_settings->status() == QSettings::NoError) return true;
    if (error)
        *error = (m_settings->status() == QSettings::AccessError ? "cannot write the settings file "
                                                                  : "the settings file is damaged: ") +
                 FileName();
    return false;
}

std::string CSettingsStore::FileName() const { return m_settings->fileName().toStdString(); }

int CSettingsStore::GetInt(const std::string& section, const std::string& name, int defaultValue)
{
    bool ok = false;
    const int v = m_settings->value(Key(section, name), defaultValue).toInt(&ok);
    return ok ? v : defaultValue;
}

std::string CSettingsStore::GetString(const std::string& section, const std::string& name,
                                      const std::string& defaultValue)
{
    const QVariant v = m_settings->value(Key(section, name));
    if (!v.isValid()) return defaultValue;
    return Utf8ToAnsi(v.toString().toStdString());
}

bool CSettingsStore::WriteInt(const std::string& section, const std::string& name, int value)
{
    m_settings->setValue(Key(section, name), value);
    return m_settings->status() == QSettings::NoError;
}

bool CSettingsStore::WriteString(const std::string& section, const std::string& name, const std::string& value)
{
    m_settings->setValue(Key(section, name), QString::fromStdString(AnsiToUtf8(value)));
    return m_settings->status() == QSettings::NoError;
}

void CSettingsStore::Remove(const std::string& section, const std::string& name)
{
    m_settings->remove(Key(section, name));
}

std::string UserDesktopFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation).toStdString();
}
