#include "drivers/own_printers.h"

#include "platform/settings_store.h"
#include "platform/strutil.h"

std::vector<COwnPrinterRecord> ReadOwnPrinters()
{
    CSettingsStore& store = CSettingsStore::Instance();
    std::vector<COwnPrinterRecord> records;
    const int count = store.GetInt(kPrintersSection, "Count", 0);
    for (int i = 1; i <= count && i <= 10000; ++i) {
        COwnPrinterRecord r;
        r.name = store.GetString(kPrintersSection, StrFormat("Name%d", i), "");
        if (r.name.empty()) continue;
        r.language = store.GetInt(kPrintersSection, StrFormat("Language%d", i), -1);
        r.dpi = store.GetInt(kPrintersSection, StrFormat("Dpi%d", i), 0);
        r.port = store.GetString(kPrintersSection, StrFormat("Port%d", i), "");
        records.push_back(r);
    }
    return records;
}

bool WriteOwnPrinters(const std::vector<COwnPrinterRecord>& records, std::string* error)
{
    CSettingsStore& store = CSettingsStore::Instance();
    const int before = store.GetInt(kPrintersSection, "Count", 0);
    bool ok = store.WriteInt(kPrintersSection, "Count", int(records.size()));
    for (size_t i = 0; i < records.size(); ++i) {
        const int n = int(i) + 1;
        ok = store.WriteString(kPrintersSection, StrFormat("Name%d", n), records[i].name) && ok;
        ok = store.WriteInt(kPrintersSection, StrFormat("Language%d", n), records[i].language) && ok;
        ok = store.WriteInt(kPrintersSection, StrFormat("Dpi%d", n), records[i].dpi) && ok;
        ok = store.WriteString(kPrintersSection, StrFormat("Port%d", n), records[i].port) && ok;
    }
    for (int n = int(records.size()) + 1; n <= before; ++n)
        for (const char* key : {"Name%d", "Language%d", "Dpi%d", "Port%d"})
            store.Remove(kPrintersSection, StrFormat(key, n));
    std::string reason;
    if (!store.Sync(&reason)) ok = false;
    if (!ok && error) *error = reason.empty() ? "the settings cannot be written" : reason;
    return ok;
}

const COwnPrinterRecord* FindOwnPrinter(const std::vector<COwnPrinterRecord>& records, const std::string& name)
{
    for (const COwnPrinterRecord& r : records)
        if (r.name == name) return &r;
    return nullptr;
}
