#pragma once
// A label for the TPCL driver's tests (the ZPL test label switched to TEC
// TPCL, code 10, whose driver the language table makes), and a strict
// reader that splits a TPCL stream into its commands.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "drivers/tpcl_driver.h"
#include "platform/strutil.h"
#include "zpl_label.h"

namespace tpcltest {

struct TpclLabel : zpltest::ZplLabel {
    explicit TpclLabel(int width = 6000, int height = 4000, int across = 1, int family = 1, int model = 1)
        : ZplLabel(width, height, across)
    {
        doc.m_format.m_nLanguage = 10;
        doc.OnPrinterChanged();
        doc.m_nPrinterFamily = family;
        doc.m_nPrinterModel = model;
    }

    CTpclDriver& Tpcl() { return *dynamic_cast<CTpclDriver*>(doc.m_driver.get()); }

    CDrawText* TecText(const std::string& data, CPoint at, const std::string& font = "TEC Font A", int rotation = 0)
    {
        return Text(data, at, font, 0, rotation);
    }

    // A job into memory as the engine runs it; ok tells the label loop's
    // result.
    std::string Job(int labels = 1, int copies = 1, bool* ok = nullptr)
    {
        doc.m_format.m_nQuantity = labels;
        doc.m_format.m_nCopies = copies;
        CTpclDriver& d = Tpcl();
        d.SetAnswerYes(true);
        std::vector<std::uint8_t> bytes;
        if (!d.BeginJob(TRUE)) return std::string();
        CPrintPort port(&bytes);
        port.Open();
        d.m_jobDevMode = doc.m_format.m_devMode;
        d.LoadPrinterSettings(FALSE);
        d.SendSetup(&port);
        const BOOL printed = d.PrintLabels(&port);
        if (ok) *ok = printed != FALSE;
        d.EndJob(&port);
        port.Close();
        d.EndPrint(TRUE);
        return std::string(bytes.begin(), bytes.end());
    }
};

// The commands of a stream, each without its "{" and "|}": every command
// must be framed and followed by CR LF; a graphic command's data is
// counted by its own parameters (nibbles, raw bytes or the compressed
// form's length), so any bytes may stand in it. False with a reason when
// the stream is not made of such commands.
inline bool SplitTpcl(const std::string& s, std::vector<std::string>* commands, std::string* error)
{
    size_t at = 0;
    while (at < s.size()) {
        if (s[at] != '{') {
            *error = StrFormat("byte %zu is not the start of a command", at);
            return false;
        }
        size_t end = std::string::npos;
        if (s.compare(at, 4, "{SG;") == 0) {
            // x, y, width, height, mode, then the data.
            int x = 0, y = 0, w = 0, h = 0, mode = 0, used = 0;
            if (std::sscanf(s.c_str() + at, "{SG;%4d,%4d,%4d,%4d,%1d,%n", &x, &y, &w, &h, &mode, &used) != 5 || used == 0) {
                *error = "a graphic command without its parameters";
                return false;
            }
            const size_t data = at + size_t(used);
            size_t length = size_t((w + 7) / 8) * size_t(h);
            if (mode == 0 || mode == 4) length *= 2;
            if (mode == 3) {
                if (data + 2 > s.size()) return *error = "a compressed graphic cut short", false;
                length = 2 + (size_t(std::uint8_t(s[data])) << 8 | std::uint8_t(s[data + 1]));
            }
            end = data + length;
            if (s.compare(end, 2, "|}") != 0) {
                *error = StrFormat("a graphic command whose data does not end where its parameters say (%zu)", end);
                return false;
            }
        } else {
            // "{", "|" and "}" stand for ESC, LF and NUL: the first of
            // any of them must be the command's own end.
            end = s.find("|}", at);
            const size_t inner = s.find_first_of(std::string_view("{|}\x1B\n\0", 6), at + 1);
            if (end == std::string::npos || inner != end) {
                *error = StrFormat("the command at %zu does not end before another starts", at);
                return false;
            }
        }
        if (s.compare(end + 2, 2, "\r\n") != 0) {
            *error = StrFormat("the command at %zu is not followed by CR LF", at);
            return false;
        }
        commands->push_back(s.substr(at + 1, end - at - 1));
        at = end + 4;
    }
    return true;
}

// The commands that begin with a prefix.
inline std::vector<std::string> CommandsOf(const std::vector<std::string>& commands, const std::string& prefix)
{
    std::vector<std::string> out;
    for (const std::string& c : commands)
        if (c.compare(0, prefix.size(), prefix) == 0) out.push_back(c);
    return out;
}

}  // namespace tpcltest
