#pragma once
// Extended property table: integer key -> text. Attributes added to the file
// format over time live here. Entries keep the order in which they were read
// or first set and are saved in that order, so an unchanged document saves
// back to the same bytes.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class CArchive;

class CPropertyTable {
public:
    // Value of the key, "" when absent.
    std::string Get(int key) const;
    bool Has(int key) const;
    // A non-empty value replaces or adds the entry, an empty value removes
    // it. Returns the previous value.
    std::string Set(int key, std::string_view value);
    // Set with the value as decimal text; returns the previous value read as
    // a decimal integer (0 when absent).
    int SetInt(int key, int value);
    int GetInt(int key, int defaultValue = 0) const;

    size_t Count() const { return m_entries.size(); }
    bool IsEmpty() const { return m_entries.empty(); }
    void Clear() { m_entries.clear(); }
    const std::vector<std::pair<int, std::string>>& Entries() const { return m_entries; }

    // Same number of entries and every key of this table with the same value in other.
    bool IsEqual(const CPropertyTable& other) const;

    // A string list of EncodeText("%d=%s") entries.
    void Serialize(CArchive& ar);

private:
    std::vector<std::pair<int, std::string>> m_entries;
};
