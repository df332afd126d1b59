#include "drivers/printer_list.h"

CPrinterList& CPrinterList::Instance()
{
    static CPrinterList list;
    return list;
}

CPrinterList::CPrinterList()
{
    CPrinterEntry placeholder;
    placeholder.m_strName = kPlaceholderPrinterName;
    m_entries.push_back(placeholder);
}

const CPrinterEntry* CPrinterList::Find(const std::string& name) const
{
    for (const auto& e : m_entries)
        if (e.m_strName == name) return &e;
    return nullptr;
}

const CPrinterEntry& CPrinterList::GetDefault() const { return m_entries[size_t(m_default)]; }

void CPrinterList::SetEntries(std::vector<CPrinterEntry> entries, int defaultIndex)
{
    m_entries = std::move(entries);
    if (m_entries.empty()) {
        CPrinterEntry placeholder;
        placeholder.m_strName = kPlaceholderPrinterName;
        m_entries.push_back(placeholder);
    }
    m_default = (defaultIndex >= 0 && size_t(defaultIndex) < m_entries.size()) ? defaultIndex : 0;
}
