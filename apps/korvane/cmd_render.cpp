// korvane render FILE -o OUT.png|OUT.jpg|OUT.bmp|- [--force] [--dpi N | --language CODE|NAME [--dpi N]]
// [--label N [--record R] [--copy C] [--now TIME]] [--screen] [--yes]: draws one label of a
// document into a picture. By default the label is printed as the printer
// will print it: every printable object at the printer's resolution (or N
// dots per inch) on white, with the data of label N of a run (as korvane
// info --label shows it). With --screen it is drawn the way the designer
// shows it at 100 %: label colour, template shapes and every object,
// without selection marks. Questions asked while printing (a picture file
// that cannot be read) are answered No, which stops the job, unless --yes
// is given. JPEG and BMP by the output's extension, PNG otherwise and on
// standard output; an existing file is written over only with --force,
// never the document itself. The label is drawn for its own printer (a CUPS queue or one of
// the program's own printers) as printing finds it: at its resolution, in
// its language's fonts. With --language it is drawn as `korvane print
// --language` prints it: for a printer of that language and resolution
// (203 dpi unless --dpi says), the objects fitted to its dots.
#include <QBuffer>
#include <QByteArray>
#include <cstdio>
#include <memory>
#include <vector>

#include "cli.h"
#include "output_file.h"
#include "model/view.h"
#include "model/document.h"
#include "model/drawgroup.h"
#include "model/drawobj.h"
#include "data/labelpos.h"
#include "drivers/own_printers.h"
#include "drivers/printer_languages.h"
#include "drivers/printer_list.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/dc.h"
#include "platform/message.h"
#include "platform/spooler.h"
#include "platform/strutil.h"

namespace {

constexpr char kRenderUsage[] =
    "render FILE -o OUT.png|OUT.jpg|OUT.bmp|- [--force] [--dpi N | --language CODE|NAME [--dpi N]]\n"
    "        [--label N [--record R] [--copy C] [--now TIME]] [--screen] [--yes]";
constexpr COLORREF kDeskColour = 0xB46300;
constexpr int kDeskMargin = 8;  // pixels of desk around the label on screen

// Objects the print engine would print, groups flattened.
void CollectPrintable(const std::vector<CDrawObj*>& list, std::vector<CDrawObj*>& out)
{
    for (CDrawObj* obj : list) {
        if (obj->IsNonPrinting()) continue;
        if (auto* g = dynamic_cast<CDrawGroup*>(obj))
            CollectPrintable(g->m_children, out);
        else
            out.push_back(obj);
    }
}

// The label as turned by its orientation, in units.
CSize TurnedLabelSize(const CKVDoc& doc)
{
    const CSize s = doc.m_format.GetLabelSize();
    return doc.GetOrientation() % 2 ? CSize(s.cy, s.cx) : s;
}

// Tells messages on stderr, as the command line does, and answers Yes to
// questions.
class AnswerYes : public IMessageSink {
public:
    AnswerYes() : m_previous(SetMessageSink(this)) {}
    ~AnswerYes() override { SetMessageSink(m_previous); }
    int Show(const std::string& text, unsigned style, const std::string& caption) override
    {
        std::fprintf(stderr, "%s: %s\n", AnsiToUtf8(caption).c_str(), AnsiToUtf8(ReplaceAll(text, "\n", " ")).c_str());
        const unsigned buttons = style & MSG_BUTTONMASK;
        return buttons == MSG_YESNO || buttons == MSG_YESNOCANCEL ? ID_YES : DefaultAnswer(style);
    }

private:
    IMessageSink* m_previous;
};

// Keeps every message to itself while it lives, answering as a dialog's
// default button would.
class Silence : public IMessageSink {
public:
    Silence() : m_previous(SetMessageSink(this)) {}
    ~Silence() override { SetMessageSink(m_previous); }
    int Show(const std::string&, unsigned style, const std::string&) override { return DefaultAnswer(style); }

private:
    IMessageSink* m_previous;
};

// Null when an object stopped the job.
std::unique_ptr<CDC> RenderPrinted(CKVDoc& doc, int dpiX, int dpiY, CLabelPos& pos)
{
    const CSize label = TurnedLabelSize(doc);
    auto dc = CDC::CreatePrinterPage(UnitsToDots(label.cx, dpiX), UnitsToDots(label.cy, dpiY), dpiX, dpiY);
    std::vector<CDrawObj*> objects;
    CollectPrintable(doc.m_objects, objects);
    const CPoint origin;
    doc.m_bStopPrinting = false;
    for (CDrawObj* obj : objects) {
        obj->Print(dc.get(), &pos, &origin, FALSE);
        if (doc.m_bStopPrinting) return nullptr;
    }
    return dc;
}

// The picture format of an output name, by its extension; PNG for standard
// output; null for a name the command cannot write.
const char* PictureFormat(const std::string& path)
{
    if (path == "-") return "PNG";
    const std::string lower = ToLowerAscii(path);
    if (EndsWith(lower, ".png")) return "PNG";
    if (EndsWith(lower, ".jpg") || EndsWith(lower, ".jpeg")) return "JPEG";
    if (EndsWith(lower, ".bmp")) return "BMP";
    return nullptr;
}

std::unique_ptr<CDC> RenderScreen(CKVDoc& doc)
{
    CFixedView view(100, 96, CPoint(kDeskMargin, kDeskMargin));
    const CSize label = TurnedLabelSize(doc);
    const CRect labelRect = view.DocToClient(CRect(0, 0, label.cx, label.cy));
    auto dc = CDC::CreateView(labelRect.right + kDeskMargin, labelRect.bottom + kDeskMargin, 96, 100);
    dc->FillSolidRect(CRect(0, 0, dc->GetDeviceCaps(HORZRES), dc->GetDeviceCaps(VERTRES)), kDeskColour);
    dc->SelectPen(CPen(PS_SOLID, 1, 0));
    dc->SelectBrush(CBrush(doc.m_format.m_crLabel));
    switch (doc.m_format.m_nLabelShape) {
    case 1: dc->RoundRect(labelRect, view.DocToClient(CSize(200, 200))); break;
    case 2: dc->Ellipse(labelRect); break;
    default: dc->Rectangle(labelRect); break;
    }
    for (CDrawObj* t : doc.m_templates) t->Draw(&view, dc.get());
    for (CDrawObj* obj : doc.m_objects) obj->Draw(&view, dc.get());
    return dc;
}

int RunRender(const CliArgs& args)
{
    CliOptions opt(args, {"-o", "--dpi", "--language", "--label", "--record", "--copy", "--now"},
                   {"--screen", "--yes", "--force"});
    const int dpi = opt.GetInt("--dpi", 0);
    CLabelPos pos;
    pos.m_nLabel = opt.GetInt("--label", 0);
    pos.m_nRecord = opt.GetInt("--record", 0);
    pos.m_nCopy = opt.GetInt("--copy", 0);
    if (!opt.ok()) return CliUsage(opt.error());
    if (opt.Positional().size() != 1 || !opt.Has("-o")) return CliUsage("give one label document and the output with -o");
    if (pos.m_nLabel < 0 || pos.m_nRecord < 0 || pos.m_nCopy < 0)
        return CliUsage("--label, --record and --copy count from 0, never below");
    if (opt.Has("--dpi") && (dpi < 25 || dpi > 2400)) return CliFail("--dpi must be between 25 and 2400");
    int language = -1;
    if (opt.Has("--language")) {
        language = ParsePrinterLanguage(opt.Get("--language"));
        const PrinterLanguageRow* row = FindPrinterLanguage(language);
        if (language < 0 || !row || !row->commands)
            return CliFail("unknown printer language \"" + opt.Get("--language") +
                           "\" (zpl, epl, dpl, tspl, tpcl, ipl, sbpl, ezpl or a language code)");
    }
    if (opt.Has("--now")) {
        const auto now = ParseLocalTime(opt.Get("--now"));
        if (!now) return CliFail("--now needs a time as \"YYYY-MM-DD HH:MM:SS\", not \"" + opt.Get("--now") + "\"");
        SetClockOverride(&*now);
    }

    {
        // The catalogue's own warnings (no printer installed, CUPS not
        // reachable) say nothing about the drawing: a label whose printer
        // is not there is drawn for the default one, as when printing.
        Silence quiet;
        CPrinterList::Instance().Build(GetSpooler(), ReadOwnPrinters());
    }
    const std::string out = opt.Get("-o");
    const char* format = PictureFormat(out);
    if (!format) return CliFail("render: the output must be a .png, .jpg or .bmp file (or - for PNG on standard output)");
    std::string error;
    if (!MayWriteOutput(out, opt.Has("--force"), {opt.Positional()[0]}, error)) return CliFail("render: " + error);

    CKVDoc doc;
    if (!doc.OpenDocument(opt.Positional()[0], &error)) return CliFail(AnsiToUtf8(ReplaceAll(error, "\n", " ")));
    int renderDpi = dpi;
    if (language >= 0) {
        // The one-off printer of korvane print --language: the label in
        // the printer's language at its resolution.
        CPrinterEntry entry;
        const int printerDpi = dpi ? dpi : 203;
        entry.m_strName = StrFormat("%s at %d dpi (this run)", PrinterLanguageName(language).c_str(), printerDpi);
        entry.m_nLanguage = language;
        entry.m_nHDpi = entry.m_nVDpi = printerDpi;
        entry.m_bOwnPort = true;
        CPrinterList::Instance().Entries().push_back(entry);
        doc.m_format.SetProperty(LFP_WINDOWS_DRIVER, "");
        doc.ApplyPrinterEntry(CPrinterList::Instance().Entries().back());
        renderDpi = 0;
    }

    std::unique_ptr<CDC> dc;
    if (opt.Has("--screen")) {
        dc = RenderScreen(doc);
    } else {
        const int dpiX = renderDpi ? renderDpi : doc.m_format.m_nHDpi;
        const int dpiY = renderDpi ? renderDpi : doc.m_format.m_nVDpi;
        std::unique_ptr<AnswerYes> yes;
        if (opt.Has("--yes")) yes = std::make_unique<AnswerYes>();
        dc = RenderPrinted(doc, dpiX, dpiY, pos);
        if (!dc) return CliFail("printing stopped");
    }
    QImage image = dc->GetImage();
    // Pictures carry their resolution.
    const int dpiX = dc->GetDeviceCaps(LOGPIXELSX), dpiY = dc->GetDeviceCaps(LOGPIXELSY);
    image.setDotsPerMeterX(int(dpiX / 0.0254 + 0.5));
    image.setDotsPerMeterY(int(dpiY / 0.0254 + 0.5));
    QByteArray encoded;
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    if (image.isNull() || !image.save(&buffer, format))
        return CliFail("render: cannot write " + out + ": the picture of " + std::to_string(image.width()) + " x " +
                       std::to_string(image.height()) + " pixels cannot be made as " + format);
    if (!WriteOutput(out, std::vector<std::uint8_t>(encoded.begin(), encoded.end()), error))
        return CliFail("render: " + error);
    return 0;
}

}  // namespace

KV_CLI_COMMAND("render", kRenderUsage, RunRender)
