// The spooler on CUPS. A queue's driver description (PPD) gives its option
// defaults, papers and resolution; queues without one (raw queues,
// driverless printers) answer through the scheduler's printer attributes.
#include <algorithm>
#include <cstdlib>
#include <cups/cups.h>
#include <map>
#include <unistd.h>

// The PPD interface is the only one that reads a driver's own options
// (media tracking, print rate...), which the stand-in drivers need.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/ppd.h>

#include "platform/codepage.h"
#include "platform/spooler.h"
#include "platform/strutil.h"
#include "platform/vendor_drivers.h"

namespace {

// Tenths of a millimetre of a length in PostScript points.
int PointsToTenths(double points) { return int(points * 254.0 / 72.0 + 0.5); }

bool IsUtf8(const std::string& s)
{
    for (size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        const size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > s.size()) return false;
        for (size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) >> 6) != 2) return false;
        i += n;
    }
    return true;
}

// Text of a driver description (UTF-8, or ISO Latin-1 in older ones) in the
// ANSI code page.
std::string PpdText(const char* text)
{
    if (!text) return std::string();
    std::string s(text);
    if (!IsUtf8(s)) {
        std::string utf8;
        for (unsigned char c : s) {
            if (c < 0x80) {
                utf8 += char(c);
            } else {
                utf8 += char(0xC0 | (c >> 6));
                utf8 += char(0x80 | (c & 0x3F));
            }
        }
        s = utf8;
    }
    return Utf8ToAnsi(s);
}

struct Form {
    std::string printer;
    std::string name;
    int width;
    int height;
};

// What one queue says about itself, read once per enumeration.
struct QueueFacts {
    bool exists = false;
    std::string makeAndModel;
    std::map<std::string, std::string> options;
    int ppdDpiX = 0, ppdDpiY = 0;        // the driver description's default resolution
    int deviceDpiX = 0, deviceDpiY = 0;  // the scheduler's printer-resolution-default
    bool papersKnown = false;
    SpoolerPaperList papers;
    SpoolerPaper defaultPaper;
};

bool ParseResolution(const std::string& text, int& x, int& y)
{
    // "203dpi", "300x600dpi"
    const std::string lower = ToLowerAscii(text);
    const size_t dpi = lower.find("dpi");
    if (dpi == std::string::npos) return false;
    const std::string nums = lower.substr(0, dpi);
    const size_t cross = nums.find('x');
    x = AtoI(nums.substr(0, cross));
    y = cross == std::string::npos ? x : AtoI(nums.substr(cross + 1));
    return x > 0 && y > 0;
}

short PaperCodeFor(int width, int height, short& nextCode)
{
    const short standard = StandardPaperCode(width, height);
    return standard ? standard : nextCode++;
}

class CCupsSpooler : public ISpooler {
public:
    bool EnumPrinters(std::vector<SpoolerPrinter>& printers, std::string* error) override
    {
        m_queues.clear();
        printers.clear();
        cups_dest_t* dests = nullptr;
        const int n = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
        if (n == 0 && cupsLastError() > IPP_STATUS_OK_CONFLICTING) {
            if (error) *error = StrFormat("%s (%s)", cupsLastErrorString(), cupsServer());
            return false;
        }
        for (int i = 0; i < n; ++i) {
            const cups_dest_t& d = dests[i];
            if (d.instance) continue;  // instances are option sets of a queue, not printers
            SpoolerPrinter p;
            p.name = Utf8ToAnsi(d.name);
            const char* model = cupsGetOption("printer-make-and-model", d.num_options, d.options);
            const char* uri = cupsGetOption("device-uri", d.num_options, d.options);
            p.driverName = Utf8ToAnsi(model ? model : "");
            p.portName = Utf8ToAnsi(uri ? uri : "");
            printers.push_back(p);
        }
        cupsFreeDests(n, dests);
        return true;
    }

    std::string GetDefaultPrinterName() override
    {
        cups_dest_t* d = cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr);
        if (!d) return std::string();
        const std::string name = Utf8ToAnsi(d->name);
        cupsFreeDests(1, d);
        return name;
    }

    std::vector<std::uint8_t> GetDefaultDevMode(const std::string& printer) override
    {
        const QueueFacts& q = Facts(printer);
        if (!q.exists) return {};
        VendorDriverQueue in;
        in.printerName = printer;
        in.driverName = q.makeAndModel;
        in.options = q.options;
        in.dpiX = q.ppdDpiX ? q.ppdDpiX : q.deviceDpiX;
        in.dpiY = q.ppdDpiX ? q.ppdDpiY : q.deviceDpiY;
        in.paperCode = q.defaultPaper.code;
        in.paperWidth = q.defaultPaper.width;
        in.paperLength = q.defaultPaper.height;
        return MakeQueueDevMode(in);
    }

    bool GetDeviceResolution(const std::string& printer, int& dpiX, int& dpiY) override
    {
        const QueueFacts& q = Facts(printer);
        if (!q.exists) return false;
        dpiX = q.deviceDpiX ? q.deviceDpiX : q.ppdDpiX;
        dpiY = q.deviceDpiX ? q.deviceDpiY : q.ppdDpiY;
        return dpiX > 0;
    }

    bool GetPapers(const std::string& printer, SpoolerPaperList& out) override
    {
        const QueueFacts& q = Facts(printer);
        if (!q.exists || !q.papersKnown) return false;
        out = q.papers;
        short code = 0x200;
        for (const Form& f : m_forms)
            if (f.printer == printer) out.papers.push_back({f.name, f.width, f.height, code++});
        return true;
    }

    bool AddForm(const std::string& printer, const std::string& name, int width, int height) override
    {
        if (!Facts(printer).exists) return false;
        for (Form& f : m_forms)
            if (f.printer == printer && f.name == name) {
                f.width = width;
                f.height = height;
                return true;
            }
        m_forms.push_back({printer, name, width, height});
        return true;
    }

    void Forget()
    {
        m_queues.clear();
        m_forms.clear();
    }

private:
    const QueueFacts& Facts(const std::string& printer)
    {
        auto it = m_queues.find(printer);
        if (it != m_queues.end()) return it->second;
        QueueFacts& q = m_queues[printer];
        const std::string name = AnsiToUtf8(printer);
        cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.c_str(), nullptr);
        if (!dest) return q;
        q.exists = true;
        const char* model = cupsGetOption("printer-make-and-model", dest->num_options, dest->options);
        q.makeAndModel = Utf8ToAnsi(model ? model : "");
        if (cups_dinfo_t* info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest)) {
            if (ipp_attribute_t* a = cupsFindDestDefault(CUPS_HTTP_DEFAULT, dest, info, "printer-resolution")) {
                ipp_res_t units = IPP_RES_PER_INCH;
                int y = 0;
                const int x = ippGetResolution(a, 0, &y, &units);
                const double scale = units == IPP_RES_PER_CM ? 2.54 : 1.0;
                q.deviceDpiX = int(x * scale + 0.5);
                q.deviceDpiY = int(y * scale + 0.5);
            }
            ReadPpd(name, *dest, q);
            if (!q.papersKnown) ReadMedia(*dest, info, q);
            cupsFreeDestInfo(info);
        }
        cupsFreeDests(1, dest);
        return q;
    }

    void ReadPpd(const std::string& name, cups_dest_t& dest, QueueFacts& q)
    {
        char path[1024] = "";
        time_t modtime = 0;
        if (cupsGetPPD3(CUPS_HTTP_DEFAULT, name.c_str(), &modtime, path, sizeof path) != HTTP_STATUS_OK) return;
        ppd_file_t* ppd = ppdOpenFile(path);
        unlink(path);
        if (!ppd) return;
        ppdMarkDefaults(ppd);
        cupsMarkOptions(ppd, dest.num_options, dest.options);
        for (int g = 0; g < ppd->num_groups; ++g) {
            const ppd_group_t& group = ppd->groups[g];
            for (int o = 0; o < group.num_options; ++o)
                if (const ppd_choice_t* c = ppdFindMarkedChoice(ppd, group.options[o].keyword))
                    q.options[group.options[o].keyword] = c->choice;
            for (int s = 0; s < group.num_subgroups; ++s)
                for (int o = 0; o < group.subgroups[s].num_options; ++o)
                    if (const ppd_choice_t* c = ppdFindMarkedChoice(ppd, group.subgroups[s].options[o].keyword))
                        q.options[group.subgroups[s].options[o].keyword] = c->choice;
        }
        std::string resolution;
        if (const ppd_choice_t* c = ppdFindMarkedChoice(ppd, "Resolution"))
            resolution = c->choice;
        else if (const ppd_attr_t* a = ppdFindAttr(ppd, "DefaultResolution", nullptr))
            resolution = a->value ? a->value : "";
        ParseResolution(resolution, q.ppdDpiX, q.ppdDpiY);

        const ppd_option_t* sizes = ppdFindOption(ppd, "PageSize");
        const ppd_choice_t* marked = ppdFindMarkedChoice(ppd, "PageSize");
        short nextCode = 257;
        bool any = false;
        for (int i = 0; sizes && i < sizes->num_choices; ++i) {
            const ppd_choice_t& c = sizes->choices[i];
            const ppd_size_t* size = ppdPageSize(ppd, c.choice);
            if (!size || size->width <= 0 || size->length <= 0) continue;
            SpoolerPaper p;
            p.name = PpdText(c.text[0] ? c.text : c.choice);
            p.width = PointsToTenths(size->width);
            p.height = PointsToTenths(size->length);
            p.code = PaperCodeFor(p.width, p.height, nextCode);
            Extend(q.papers, p.width, p.height, any);
            if (marked && c.choice == std::string(marked->choice)) q.defaultPaper = p;
            q.papers.papers.push_back(p);
        }
        if (ppd->variable_sizes) {
            q.papers.papers.push_back({"Custom", 0, 0, 256});
            q.papers.largest = CSize(PointsToTenths(ppd->custom_max[0]), PointsToTenths(ppd->custom_max[1]));
            q.papers.smallest = CSize(PointsToTenths(ppd->custom_min[0]), PointsToTenths(ppd->custom_min[1]));
        }
        q.papersKnown = true;
        ppdClose(ppd);
    }

    void ReadMedia(cups_dest_t& dest, cups_dinfo_t* info, QueueFacts& q)
    {
        const int n = cupsGetDestMediaCount(CUPS_HTTP_DEFAULT, &dest, info, 0);
        short nextCode = 257;
        bool any = false;
        cups_size_t def{};
        const bool hasDefault = cupsGetDestMediaDefault(CUPS_HTTP_DEFAULT, &dest, info, 0, &def) != 0;
        for (int i = 0; i < n; ++i) {
            cups_size_t size{};
            if (!cupsGetDestMediaByIndex(CUPS_HTTP_DEFAULT, &dest, info, i, 0, &size)) continue;
            if (size.width <= 0 || size.length <= 0) continue;
            SpoolerPaper p;
            const char* label = cupsLocalizeDestMedia(CUPS_HTTP_DEFAULT, &dest, info, 0, &size);
            p.name = Utf8ToAnsi(label ? label : size.media);
            p.width = (size.width + 5) / 10;  // hundredths to tenths of a millimetre
            p.height = (size.length + 5) / 10;
            p.code = PaperCodeFor(p.width, p.height, nextCode);
            Extend(q.papers, p.width, p.height, any);
            if (hasDefault && std::string(def.media) == size.media) q.defaultPaper = p;
            q.papers.papers.push_back(p);
        }
        q.papersKnown = true;
    }

    static void Extend(SpoolerPaperList& list, int w, int h, bool& any)
    {
        if (!any) {
            list.largest = list.smallest = CSize(w, h);
            any = true;
            return;
        }
        list.largest = CSize(std::max(list.largest.cx, w), std::max(list.largest.cy, h));
        list.smallest = CSize(std::min(list.smallest.cx, w), std::min(list.smallest.cy, h));
    }

    std::map<std::string, QueueFacts> m_queues;
    std::vector<Form> m_forms;  // added for this run
};

CCupsSpooler& Cups()
{
    static CCupsSpooler cups;
    return cups;
}

ISpooler* g_spooler = nullptr;

struct StandardPaper {
    short code;
    int width;
    int height;
};

// Paper codes of the standard sizes (tenths of a millimetre, portrait).
const StandardPaper kStandardPapers[] = {
    {1, 2159, 2794},  // Letter
    {3, 2794, 4318},  // Tabloid
    {5, 2159, 3556},  // Legal
    {6, 1397, 2159},  // Statement
    {7, 1842, 2667},  // Executive
    {8, 2970, 4200},  // A3
    {9, 2100, 2970},  // A4
    {11, 1480, 2100}, // A5
    {12, 2570, 3640}, // B4 (JIS)
    {13, 1820, 2570}, // B5 (JIS)
    {14, 2159, 3302}, // Folio
    {20, 1048, 2413}, // Envelope #10
    {27, 1100, 2200}, // Envelope DL
    {28, 1620, 2290}, // Envelope C5
    {30, 2290, 3240}, // Envelope C4
    {31, 1140, 1620}, // Envelope C6
    {34, 1760, 2500}, // Envelope B5
    {37, 984, 1905},  // Envelope Monarch
    {70, 1050, 1480}, // A6
};

}  // namespace

#pragma GCC diagnostic pop

ISpooler& GetSpooler() { return g_spooler ? *g_spooler : Cups(); }

ISpooler* SetSpooler(ISpooler* spooler)
{
    ISpooler* old = g_spooler;
    g_spooler = spooler;
    return old;
}

void UseCupsServer(const std::string& server)
{
    cupsSetServer(server.empty() ? nullptr : server.c_str());
    Cups().Forget();
}

short StandardPaperCode(int width, int height)
{
    for (const StandardPaper& p : kStandardPapers)
        if (std::abs(p.width - width) <= 10 && std::abs(p.height - height) <= 10) return p.code;
    return 0;
}
