#pragma once
// A printer driver for tests: it writes nothing a printer reads but records,
// as lines of text, every setup, download, format and drawing call the base
// makes, with the label numbers and positions it receives. Its capability
// answers are the base's unless a test sets them. Every line also goes to
// the port, so a failing port fails the job as a real driver's would.
#include <map>
#include <string>
#include <vector>

#include "model/drawbarcode.h"
#include "model/drawobj.h"
#include "platform/monobitmap.h"
#include "platform/strutil.h"
#include "print/print_port.h"
#include "print/printdriver.h"

class CRecordingDriver : public CPrintDriver {
public:
    using CPrintDriver::CPrintDriver;

    std::vector<std::string> calls;
    std::map<std::pair<int, int>, int> answers;  // (query, arg) -> answer; arg -1 for any

    void SetCapability(int query, int answer, int arg = -1) { answers[{query, arg}] = answer; }

    int GetCapability(int query, int arg) override
    {
        auto it = answers.find({query, arg});
        if (it == answers.end()) it = answers.find({query, -1});
        return it != answers.end() ? it->second : CPrintDriver::GetCapability(query, arg);
    }
    // Fields are placed from their top-left corner; label columns are
    // 100000 dots apart, so a column shows in x.
    CPoint GetAnchorPoint(int left, int top, int, int, int) override { return CPoint(left, top); }
    void MapLabelPoint(CPoint* point, int column) override { point->x += column * 100000; }

    BOOL SendSetup(CPrintPort* port) override { return Record(port, "setup"); }
    BOOL EndJob(CPrintPort* port) override { return Record(port, "end"); }
    BOOL DownloadGraphic(CPrintPort* port, const std::string& name, const CMonoBitmap& bitmap) override
    {
        return Record(port, StrFormat("download %s %dx%d", name.c_str(), bitmap.Width(), bitmap.Height()));
    }
    BOOL PrintFormat(CPrintPort* port, CLabelPos* first, int across, int quantity, int replicates, int pass) override
    {
        if (!Record(port, StrFormat("format %s across=%d quantity=%d replicates=%d pass=%d", Pos(*first).c_str(),
                                    across, quantity, replicates, pass)))
            return FALSE;
        for (int i = 0; i < across; ++i) {
            CLabelPos pos;
            LocateLabel(&pos, first->m_nLabel + i);
            EmitLabel(port, &pos, i, pass, replicates);
        }
        return TRUE;
    }
    BOOL DrawBarcode(CPrintPort* port, CDrawObj*, int x, int y, CDrawBarcode* b, CLabelPos* pos, int) override
    {
        return Record(port, StrFormat("barcode %d,%d %s", x, y, b->GetLabelText(pos).c_str()));
    }
    BOOL DrawText(CPrintPort* port, int x, int y, CDrawObj*, const std::string& text, int) override
    {
        return Record(port, StrFormat("text %d,%d %s", x, y, text.c_str()));
    }
    BOOL DrawLine(CPrintPort* port, int x, int y, int cx, int cy, int direction) override
    {
        return Record(port, StrFormat("line %d,%d %dx%d %d", x, y, cx, cy, direction));
    }
    BOOL DrawRect(CPrintPort* port, int x, int y, int cx, int cy, int thickness) override
    {
        return Record(port, StrFormat("rect %d,%d %dx%d %d", x, y, cx, cy, thickness));
    }
    BOOL DrawGraphic(CPrintPort* port, CDrawObj*, int x, int y, const std::string& name) override
    {
        return Record(port, StrFormat("graphic %d,%d %s", x, y, name.c_str()));
    }

    // "n/record.copy" of a label position.
    static std::string Pos(const CLabelPos& p)
    {
        return StrFormat("%d/%d.%d", p.m_nLabel, p.m_nRecord, p.m_nCopy);
    }
    // The recorded lines that start with prefix.
    std::vector<std::string> Calls(const std::string& prefix) const
    {
        std::vector<std::string> out;
        for (const std::string& c : calls)
            if (StartsWith(c, prefix)) out.push_back(c);
        return out;
    }

private:
    BOOL Record(CPrintPort* port, const std::string& line)
    {
        calls.push_back(line);
        const std::string bytes = line + "\n";
        return port ? port->WriteString(bytes.c_str()) : TRUE;
    }
};
