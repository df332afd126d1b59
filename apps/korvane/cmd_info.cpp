// korvane info FILE [--json] [--label N [--record R] [--copy C] [--now TIME] [--scripts]]:
// the structure of a label document as stored: label format fields and
// properties, variables, object tree, link string; with --label also what
// every object would print on that label of a run.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <utility>

#include "model/drawbarcode.h"
#include "cli.h"
#include "data/variable.h"
#include "json.h"
#include "label_scripts.h"
#include "model/document.h"
#include "model/drawgroup.h"
#include "model/drawline.h"
#include "model/drawrect.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/fileio.h"
#include "platform/strutil.h"

namespace {

const char* const kKindNames[] = {"Fixed", "SerialNo", "Database", "Date", "Time", "Keyboard", "Script"};

const char* KindName(int kind) { return kind >= 0 && kind < 7 ? kKindNames[kind] : "?"; }

// One field of the label format: name and either a number or a text.
struct Field {
    const char* name;
    bool isText;
    long long number;
    std::string text;
};

std::vector<Field> FormatFields(const CLabelFormat& f)
{
    std::vector<Field> v;
    auto num = [&](const char* n, long long x) { v.push_back({n, false, x, {}}); };
    auto txt = [&](const char* n, const std::string& s) { v.push_back({n, true, 0, s}); };
    num("version", f.m_nVersion);
    txt("reserved_text_2", f.m_strReserved2);
    txt("created", f.m_strCreated);
    txt("saved", f.m_strSaved);
    txt("third_stamp", f.m_strThird);
    txt("remark", f.m_strRemark);
    txt("label_name", f.m_strLabelName);
    for (int i = 0; i < 4; ++i) num(i == 0 ? "reserved_8a" : i == 1 ? "reserved_8b" : i == 2 ? "reserved_8c" : "reserved_8d", f.m_nReserved8[i]);
    num("paper_code", f.m_nPaperCode);
    num("paper_width", f.m_nPaperWidth);
    num("paper_height", f.m_nPaperHeight);
    num("left_margin", f.m_nLeftMargin);
    num("top_margin", f.m_nTopMargin);
    num("reserved_12a", f.m_nReserved12[0]);
    num("reserved_12b", f.m_nReserved12[1]);
    num("page_orientation", f.m_nPageOrientation);
    num("rows", f.m_nRows);
    num("columns", f.m_nColumns);
    num("vertical_gap", f.m_nVGap);
    num("horizontal_gap", f.m_nHGap);
    num("label_width", f.m_nLabelWidth);
    num("label_height", f.m_nLabelHeight);
    num("media_type", f.m_nMediaType);
    num("label_shape", f.m_nLabelShape);
    num("hole_type", f.m_nHoleType);
    num("hole_size", f.m_nHoleSize);
    num("horizontal_adjust", f.m_nHAdjust);
    num("vertical_adjust", f.m_nVAdjust);
    num("start_corner", f.m_nStartCorner);
    num("order", f.m_nOrder);
    num("reserved_23", f.m_nReserved23);
    num("database_kind", f.m_nDbKind);
    for (int i = 0; i < 5; ++i) txt(i == 0 ? "database_text_1" : i == 1 ? "database_text_2" : i == 2 ? "database_text_3" : i == 3 ? "database_text_4" : "database_text_5", f.m_strDb[i]);
    txt("database_connection", f.m_strDbConnect);
    num("quantity", f.m_nQuantity);
    num("reserved_28", f.m_nReserved28);
    num("copies", f.m_nCopies);
    num("start_record", f.m_nStartRecord);
    txt("reserved_text_31", f.m_strReserved31);
    txt("printer", f.m_strPrinter);
    txt("reserved_text_33", f.m_strReserved33);
    num("horizontal_dpi", f.m_nHDpi);
    num("vertical_dpi", f.m_nVDpi);
    num("printer_language", f.m_nLanguage);
    num("print_speed", f.m_nSpeed);
    num("darkness", f.m_nDarkness);
    num("print_start_offset", f.m_nStartOffset);
    num("after_print_action", f.m_nAfterPrintAction);
    num("reserved_40", f.m_nReserved40);
    num("option_flags", f.m_dwOptions);
    num("after_print_distance", f.m_nAfterPrintDistance);
    num("printer_settings_bytes", (long long)f.m_devMode.size());
    num("label_colour", f.m_crLabel);
    for (int i = 0; i < 5; ++i) num(i == 0 ? "reserved_45a" : i == 1 ? "reserved_45b" : i == 2 ? "reserved_45c" : i == 3 ? "reserved_45d" : "reserved_45e", f.m_nReserved45[i]);
    num("next_id", f.m_nNextID);
    num("orientation", f.GetOrientation());
    return v;
}

const char* ClassName(const CDrawObj* obj) { return obj->GetRuntimeClass()->m_name; }

void ObjectJson(JsonWriter& j, const CDrawObj* obj)
{
    j.BeginObject();
    j.Int("id", obj->m_nID);
    j.String("class", ClassName(obj));
    j.Int("type", obj->m_nType);
    j.Int("flags", obj->m_dwFlags);
    j.BeginArray("position");
    j.Int(nullptr, obj->m_position.left);
    j.Int(nullptr, obj->m_position.top);
    j.Int(nullptr, obj->m_position.right);
    j.Int(nullptr, obj->m_position.bottom);
    j.EndArray();
    j.Int("rotation", obj->m_nRotation);
    j.Int("background", obj->m_nBackground);
    j.String("comment", obj->m_strComment);
    j.BeginArray("variables");
    for (const CVariable* v : obj->m_variables) j.Int(nullptr, v->m_nID);
    j.EndArray();
    j.BeginObject("properties");
    for (const auto& [key, value] : obj->m_properties.Entries()) j.String(StrFormat("%d", key).c_str(), value);
    j.EndObject();
    if (const auto* g = dynamic_cast<const CDrawGroup*>(obj)) {
        j.BeginArray("children");
        for (const CDrawObj* c : g->m_children) ObjectJson(j, c);
        j.EndArray();
    }
    j.EndObject();
}

void ObjectText(std::string& out, const CDrawObj* obj, int depth)
{
    const CRect& p = obj->m_position;
    std::string vars;
    for (const CVariable* v : obj->m_variables) vars += (vars.empty() ? "" : ",") + StrFormat("%d", v->m_nID);
    out += std::string(size_t(depth) * 2 + 2, ' ');
    out += StrFormat("#%d %s type=%d flags=0x%02X position=(%d,%d,%d,%d) rotation=%d variables=[%s]", obj->m_nID,
                     ClassName(obj), obj->m_nType, unsigned(obj->m_dwFlags), p.left, p.top, p.right, p.bottom,
                     obj->m_nRotation, vars.c_str());
    if (!obj->m_strComment.empty()) out += " comment=" + QuoteText(obj->m_strComment);
    out += '\n';
    if (const auto* b = dynamic_cast<const CDrawBarcode*>(obj))
        out += std::string(size_t(depth) * 2 + 6, ' ') +
               StrFormat("barcode symbology=%d module=%d ratio=%d height=%d placement=%d align=%d font=", b->m_nSymbology,
                         b->m_nModuleWidth, b->m_nRatio, b->m_nBarHeight, b->m_nTextPlacement, b->m_nTextAlign) +
               QuoteText(b->m_strFontName) + "\n";
    for (const auto& [key, value] : obj->m_properties.Entries())
        out += std::string(size_t(depth) * 2 + 6, ' ') + StrFormat("property %d = ", key) + QuoteText(value) + "\n";
    if (const auto* g = dynamic_cast<const CDrawGroup*>(obj))
        for (const CDrawObj* c : g->m_children) ObjectText(out, c, depth + 1);
}

// What one object prints on the label asked for.
struct LabelText {
    int id;
    const char* className;
    int depth;
    std::string text;  // for a barcode, the data its encoder receives
    bool hasReadable = false;
    std::string readable;  // a barcode's human-readable line
};

void CollectLabelTexts(std::vector<LabelText>& out, const std::vector<CDrawObj*>& list, CLabelPos& pos, int depth)
{
    for (CDrawObj* obj : list) {
        if (auto* g = dynamic_cast<CDrawGroup*>(obj)) {
            CollectLabelTexts(out, g->m_children, pos, depth + 1);
            continue;
        }
        LabelText t{obj->m_nID, ClassName(obj), depth, obj->GetLabelText(&pos)};
        if (auto* b = dynamic_cast<CDrawBarcode*>(obj)) {
            t.hasReadable = true;
            t.readable = b->HumanReadableOf(t.text);
        }
        out.push_back(std::move(t));
    }
}

int RunInfo(const CliArgs& args)
{
    CliOptions opt(args, {"--label", "--record", "--copy", "--now"}, {"--json", "--scripts"});
    if (!opt.ok()) return CliUsage(opt.error());
    if (opt.Positional().size() != 1) return CliUsage("give one label document");
    const std::string path = opt.Positional()[0];
    const bool wantLabel = opt.Has("--label");
    if (!wantLabel && (opt.Has("--record") || opt.Has("--copy") || opt.Has("--now") || opt.Has("--scripts")))
        return CliFail("--record, --copy, --now and --scripts go with --label N");
    CLabelPos pos;
    pos.m_nLabel = opt.GetInt("--label", 0);
    pos.m_nRecord = opt.GetInt("--record", 0);
    pos.m_nCopy = opt.GetInt("--copy", 0);
    if (!opt.ok()) return CliUsage(opt.error());
    if (pos.m_nLabel < 0 || pos.m_nRecord < 0 || pos.m_nCopy < 0)
        return CliUsage("--label, --record and --copy count from 0, never below");
    if (opt.Has("--now")) {
        const auto now = ParseLocalTime(opt.Get("--now"));
        if (!now) return CliFail("--now needs a time as \"YYYY-MM-DD HH:MM:SS\", not \"" + opt.Get("--now") + "\"");
        SetClockOverride(&*now);
    }

    std::vector<std::uint8_t> bytes;
    std::string reason;
    if (!ReadFileToBytes(path, bytes, &reason)) return CliFail(StrFormat("cannot open %s: %s", path.c_str(), reason.c_str()));
    CKVDoc doc;
    if (!doc.LoadFromBytes(bytes.data(), bytes.size(), &reason)) {
        for (char& c : reason)
            if (c == '\n' || c == '\r') c = ' ';
        return CliFail(StrFormat("%s: %s", path.c_str(), AnsiToUtf8(reason).c_str()));
    }
    const CLabelFormat& f = doc.m_format;
    const std::string links = CKVDoc::BuildLinkString(doc.m_objects);

    // The label's texts come from the document opened as the designer opens
    // it, so that the dump above keeps showing what the file stores (dates
    // would otherwise refresh their stored values).
    std::vector<LabelText> labelTexts;
    bool scriptsRan = false;
    int runLabels = 0;
    std::vector<std::string> scriptErrors;
    if (wantLabel) {
        CKVDoc opened;
        std::string error;
        if (!opened.OpenDocument(path, &error)) return CliFail(ReplaceAll(AnsiToUtf8(error), "\n", " "));
        // The label's scripts run as a print job runs them, when scripting is on.
        CLabelScripts scripts(opened, opt.Has("--scripts"));
        scripts.BeginLabel(pos);
        CollectLabelTexts(labelTexts, opened.m_objects, pos, 0);
        scripts.EndLabel();
        scripts.End();
        scriptsRan = scripts.Ran();
        runLabels = scripts.Labels();
        scriptErrors = scripts.Errors();
        for (const std::string& e : scriptErrors)
            std::fprintf(stderr, "korvane: script: %s\n", ReplaceAll(AnsiToUtf8(e), "\n", " ").c_str());
    }

    if (opt.Has("--json")) {
        JsonWriter j;
        j.BeginObject();
        j.String("file", Utf8ToAnsi(path));
        j.BeginObject("format");
        for (const Field& fld : FormatFields(f)) {
            if (fld.isText)
                j.String(fld.name, fld.text);
            else
                j.Int(fld.name, fld.number);
        }
        j.BeginObject("blocks");
        j.Int("enabled", f.m_blocks.enabled);
        j.Int("first", f.m_blocks.first);
        j.Int("rows", f.m_blocks.rows);
        j.Int("columns", f.m_blocks.columns);
        j.Int("vertical_gap", f.m_blocks.vgap);
        j.Int("horizontal_gap", f.m_blocks.hgap);
        j.EndObject();
        j.EndObject();
        j.BeginObject("properties");
        for (const auto& [key, value] : f.m_properties.Entries()) j.String(StrFormat("%d", key).c_str(), value);
        j.EndObject();
        j.BeginArray("variables");
        for (const CVariable* v : doc.m_variables) {
            j.BeginObject();
            j.Int("id", v->m_nID);
            j.Int("kind", v->m_nKind);
            j.String("kind_name", KindName(v->m_nKind));
            j.String("name", v->m_strName);
            j.String("value", v->m_strData);
            j.EndObject();
        }
        j.EndArray();
        j.BeginArray("objects");
        for (const CDrawObj* obj : doc.m_objects) ObjectJson(j, obj);
        j.EndArray();
        j.String("links", links);
        if (wantLabel) {
            j.BeginObject("label");
            j.Int("number", pos.m_nLabel);
            j.Int("record", pos.m_nRecord);
            j.Int("copy", pos.m_nCopy);
            j.BeginArray("objects");
            for (const LabelText& t : labelTexts) {
                j.BeginObject();
                j.Int("id", t.id);
                j.String("class", t.className);
                j.String("text", t.text);
                if (t.hasReadable) j.String("human_readable", t.readable);
                j.EndObject();
            }
            j.EndArray();
            if (scriptsRan) {
                j.BeginObject("scripts");
                j.Int("labels", runLabels);
                j.BeginArray("errors");
                for (const std::string& e : scriptErrors) j.String(nullptr, e);
                j.EndArray();
                j.EndObject();
            }
            j.EndObject();
        }
        j.EndObject();
        std::printf("%s\n", j.str().c_str());
        return 0;
    }

    std::string out = "file: " + path + "\nlabel format:\n";
    for (const Field& fld : FormatFields(f)) {
        out += StrFormat("  %-24s ", fld.name);
        out += fld.isText ? QuoteText(fld.text) : StrFormat("%lld", fld.number);
        out += '\n';
    }
    out += StrFormat("  %-24s %s\n", "blocks", f.FormatBlocks().c_str());
    out += "properties:\n";
    for (const auto& [key, value] : f.m_properties.Entries())
        out += StrFormat("  %-6d ", key) + QuoteText(value) + "\n";
    out += StrFormat("variables: %zu\n", doc.m_variables.size());
    for (const CVariable* v : doc.m_variables)
        out += StrFormat("  #%d %s name=", v->m_nID, KindName(v->m_nKind)) + QuoteText(v->m_strName) +
               " value=" + QuoteText(v->m_strData) + "\n";
    out += StrFormat("objects: %zu\n", doc.m_objects.size());
    for (const CDrawObj* obj : doc.m_objects) ObjectText(out, obj, 0);
    out += "links: " + QuoteText(links) + "\n";
    if (wantLabel) {
        out += StrFormat("label %d (record %d, copy %d):\n", pos.m_nLabel, pos.m_nRecord, pos.m_nCopy);
        for (const LabelText& t : labelTexts)
            out += std::string(size_t(t.depth) * 2 + 2, ' ') + StrFormat("#%d %s ", t.id, t.className) +
                   QuoteText(t.text) + (t.hasReadable ? " readable=" + QuoteText(t.readable) : std::string()) +
                   "\n";
        if (scriptsRan) out += StrFormat("scripts: the run has %d labels\n", runLabels);
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}

}  // namespace

KV_CLI_COMMAND("info",
               "info FILE [--json] [--label N [--record R] [--copy C] [--now TIME] [--scripts]]\n"
               "                           print the structure of a label document; with --label what each\n"
               "                           object prints on label N of a run (TIME: \"YYYY-MM-DD HH:MM:SS\");\n"
               "                           the label's scripts run when EnableScript is on or with --scripts",
               RunInfo)
