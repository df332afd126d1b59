#include "platform/property_table.h"

#include "platform/archive.h"
#include "platform/strutil.h"

std::string CPropertyTable::Get(int key) const
{
    for (const auto& e : m_entries)
        if (e.first == key) return e.second;
    return std::string();
}

bool CPropertyTable::Has(int key) const
{
    for (const auto& e : m_entries)
        if (e.first == key) return true;
    return false;
}

std::string CPropertyTable::Set(int key, std::string_view value)
{
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        if (it->first != key) continue;
        std::string old = std::move(it->second);
        if (value.empty())
            m_entries.erase(it);
        else
            it->second = std::string(value);
        return old;
    }
    if (!value.empty()) m_entries.emplace_back(key, std::string(value));
    return std::string();
}

int CPropertyTable::SetInt(int key, int value) { return AtoI(Set(key, StrFormat("%d", value))); }

int CPropertyTable::GetInt(int key, int defaultValue) const
{
    for (const auto& e : m_entries)
        if (e.first == key) return AtoI(e.second);
    return defaultValue;
}

bool CPropertyTable::IsEqual(const CPropertyTable& other) const
{
    if (m_entries.size() != other.m_entries.size()) return false;
    for (const auto& e : m_entries) {
        if (!other.Has(e.first) || other.Get(e.first) != e.second) return false;
    }
    return true;
}

void CPropertyTable::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteCount(m_entries.size());
        for (const auto& e : m_entries) ar.WriteString(EncodeText(StrFormat("%d=", e.first) + e.second));
        return;
    }
    m_entries.clear();
    const size_t n = ar.ReadCount(1);
    for (size_t i = 0; i < n; ++i) {
        const std::string text = DecodeText(ar.ReadString());
        const size_t eq = text.find('=');
        int key = 0;
        std::string value;
        if (eq == std::string::npos) {
            value = text;
        } else {
            key = AtoI(std::string_view(text).substr(0, eq));
            value = text.substr(eq + 1);
        }
        // A later entry with the same key replaces an earlier one; an empty
        // stored value is kept as read.
        bool replaced = false;
        for (auto& e : m_entries) {
            if (e.first == key) {
                e.second = value;
                replaced = true;
                break;
            }
        }
        if (!replaced) m_entries.emplace_back(key, std::move(value));
    }
}
