#include "model/document.h"

#include <QDateTime>
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <pwd.h>
#include <unistd.h>

#include "data/value_sources.h"
#include "data/variable.h"
#include "model/drawgroup.h"
#include "model/drawobj.h"
#include "model/object_clock.h"
#include "model/printer_capabilities.h"
#include "model/printer_font_table.h"
#include "model/printer_lookup.h"
#include "model/view.h"
#include "platform/app_settings.h"
#include "platform/codepage.h"
#include "platform/fileio.h"
#include "platform/message.h"
#include "platform/strutil.h"
#include "resources/strings.h"

std::function<bool(CLabelFormat& chosen)> CKVDoc::s_selectLabel;
bool CKVDoc::s_firstNewDocumentMade = false;

namespace {

constexpr const char kDashLine[] = "---------------------------------";
constexpr const char kEditionLabel[] = "Korvane Label Designer";
constexpr const char kWebAddress[] = "https://korvane.org";

// Index just past the closing marker ";" + id of a group segment that
// starts at from, or npos. The ";" must not follow ":" directly (that is an
// opening marker) and the id must not go on with another digit.
size_t FindGroupEnd(std::string_view s, size_t from, const std::string& id)
{
    for (size_t p = s.find(';', from); p != std::string_view::npos; p = s.find(';', p + 1)) {
        if (p > 0 && s[p - 1] == ':') continue;
        if (s.compare(p + 1, id.size(), id) != 0) continue;
        const size_t end = p + 1 + id.size();
        if (end < s.size() && s[end] >= '0' && s[end] <= '9') continue;
        return p;
    }
    return std::string_view::npos;
}

void ParseLinks(std::string_view s, const std::vector<CDrawObj*>& list,
                const std::unordered_map<int, CVariable*>& variables, int depth)
{
    // Nesting deeper than any loadable group tree means damage: stop there.
    if (depth > 256) return;
    size_t pos = 0;
    while (pos < s.size()) {
        if (s[pos] != ':') {
            pos = s.find(':', pos);
            if (pos == std::string_view::npos) return;
            continue;
        }
        if (pos + 1 < s.size() && s[pos + 1] == ';') {
            const size_t idStart = pos + 2;
            size_t idEnd = s.find(':', idStart);
            if (idEnd == std::string_view::npos) idEnd = s.size();
            const std::string idText(s.substr(idStart, idEnd - idStart));
            const int id = AtoI(idText);
            const std::string idDigits = StrFormat("%d", id);
            const size_t close = FindGroupEnd(s, idEnd, idDigits);
            const size_t childEnd = close == std::string_view::npos ? s.size() : close;
            if (auto* group = dynamic_cast<CDrawGroup*>(CKVDoc::FindObject(list, id)))
                ParseLinks(s.substr(idEnd, childEnd - idEnd), group->m_children, variables, depth + 1);
            pos = close == std::string_view::npos ? s.size() : close + 1 + idDigits.size();
            continue;
        }
        size_t end = s.find(':', pos + 1);
        if (end == std::string_view::npos) end = s.size();
        const auto numbers = SplitString(s.substr(pos + 1, end - pos - 1), ',');
        if (!numbers.empty()) {
            if (CDrawObj* obj = CKVDoc::FindObject(list, AtoI(numbers[0]))) {
                for (size_t i = 1; i < numbers.size(); ++i) {
                    const auto it = variables.find(AtoI(numbers[i]));
                    if (it != variables.end()) obj->AddVariable(it->second);
                }
            }
        }
        pos = end;
    }
}

std::string UserName()
{
    if (const char* u = std::getenv("USER"); u && *u) return u;
    if (const passwd* pw = getpwuid(getuid())) return pw->pw_name;
    return "user";
}

}  // namespace

CKVDoc::CKVDoc() = default;

CKVDoc::~CKVDoc() { DeleteContents(); }

void CKVDoc::DeleteContents()
{
    // Unlink objects and variables first so that destroying one side never
    // reaches into the other.
    for (CVariable* v : m_variables) v->m_users.clear();
    std::vector<CDrawObj*> all;
    for (auto* list : {&m_objects, &m_templates}) {
        for (CDrawObj* obj : *list) {
            all.push_back(obj);
            if (auto* g = dynamic_cast<CDrawGroup*>(obj)) g->CollectDescendants(all);
        }
    }
    for (CDrawObj* obj : all) obj->m_variables.clear();
    for (CDrawObj* obj : m_objects) delete obj;
    for (CDrawObj* obj : m_templates) delete obj;
    for (CVariable* v : m_variables) delete v;
    m_objects.clear();
    m_templates.clear();
    m_variables.clear();
    m_recordSource.reset();
}

std::string CKVDoc::MakeBanner()
{
    std::string b;
    b += kDashLine;
    b += "\r\nKorvane Document\r\n";
    b += StrFormat("%s %d.%d.%d Build %d", kEditionLabel, 7, 15, 10, 1316);
    b += "\r\n";
    b += kWebAddress;
    b += "\r\n";
    b += kDashLine;
    b += "\r\n";
    return b;
}

std::string CKVDoc::MakeStamp()
{
    char buf[256] = {};
    std::string host = gethostname(buf, sizeof buf - 1) == 0 ? buf : "";
    if (host.empty()) host = "localhost";
    const std::string time = QDateTime::currentDateTime().toString("yyyy-MM-dd HH:mm:ss").toStdString();
    return StrFormat("%s,%s,%s", Utf8ToAnsi(host).c_str(), Utf8ToAnsi(UserName()).c_str(), time.c_str());
}

// ---- file ----------------------------------------------------------------

void CKVDoc::Serialize(CArchive& ar)
{
    ar.m_pDocument = this;
    if (ar.IsStoring()) {
        const std::string banner = MakeBanner();
        ar.Write(banner.data(), banner.size());
        ar.WriteByte(0);
        m_format.SetProperty(LFP_SIGNATURE, kDocumentSignature);
        m_format.Serialize(ar);
        ar.WriteObjectList(m_variables);
        ar.WriteObjectList(m_objects);
        ar.WriteString(BuildLinkString(m_objects));
        ar.WriteDword(0);
        return;
    }

    // Banner: up to its zero byte, within a sensible bound.
    std::string banner;
    for (;;) {
        if (ar.Remaining() == 0 || banner.size() >= kMaxBannerBytes) throw CDocumentRefused(CDocumentRefused::notLabelFile);
        const char c = char(ar.ReadByte());
        if (c == '\0') break;
        banner += c;
    }
    const auto lines = SplitString(banner, '\n');
    if (lines.size() < 2 || lines[1] != kDocumentSignature) throw CDocumentRefused(CDocumentRefused::notLabelFile);

    try {
        m_format.Serialize(ar);
    } catch (const CNewerFormatException& e) {
        throw CDocumentRefused(CDocumentRefused::newerVersion, e.m_nMajor);
    }
    const std::string signature = m_format.GetProperty(LFP_SIGNATURE);
    if (!signature.empty() && signature != kDocumentSignature) throw CDocumentRefused(CDocumentRefused::notLabelFile);

    ar.ReadObjectList(m_variables, KV_RUNTIME_CLASS(CVariable));
    ar.ReadObjectList(m_objects, KV_RUNTIME_CLASS(CDrawObj));

    const std::string links = ar.ReadString();
    std::unordered_map<int, CVariable*> byId;
    for (CVariable* v : m_variables) byId.emplace(v->m_nID, v);
    if (StartsWith(links, ":")) ParseLinkString(links, m_objects, byId);

    m_format.BuildTemplateObjects(m_templates);
    for (CDrawObj* t : m_templates) t->m_pDocument = this;

    // Embedded document items: none are written by this program; read and
    // drop any that an older file carries.
    const DWORD items = ar.ReadDword();
    if (items > ar.Remaining() / 2) throw CArchiveException(CArchiveException::endOfFile);
    for (DWORD i = 0; i < items; ++i) delete ar.ReadNewObject(nullptr);
}

std::vector<std::uint8_t> CKVDoc::SaveToBytes()
{
    const int orientation = GetOrientation();
    RotateAll(m_objects, 0, orientation);
    RotateAll(m_templates, 0, orientation);
    std::vector<std::uint8_t> bytes;
    try {
        CArchive ar(&bytes);
        Serialize(ar);
    } catch (...) {
        RotateAll(m_objects, orientation, 0);
        RotateAll(m_templates, orientation, 0);
        throw;
    }
    RotateAll(m_objects, orientation, 0);
    RotateAll(m_templates, orientation, 0);
    return bytes;
}

bool CKVDoc::LoadFromBytes(const std::uint8_t* data, size_t size, std::string* reason)
{
    DeleteContents();
    m_format = CLabelFormat();
    try {
        CArchive ar(data, size);
        Serialize(ar);
        return true;
    } catch (const CDocumentRefused& e) {
        if (reason) {
            if (e.m_reason == CDocumentRefused::newerVersion)
                *reason = StrFormat(LoadKvString(IDS_NEWER_VERSION).c_str(), kProductName, kProductName, e.m_nMajor);
            else
                *reason = "not a label document";
        }
    } catch (const CArchiveException& e) {
        if (reason) *reason = e.what();
    } catch (const std::bad_alloc&) {
        if (reason) *reason = "out of memory";
    }
    DeleteContents();
    m_format = CLabelFormat();
    return false;
}

BOOL CKVDoc::OnOpenDocument(const std::string& path)
{
    std::string error;
    if (OpenDocument(path, &error)) return TRUE;
    KvMessageBox(error, MSG_OK | MSG_ICONERROR);
    return FALSE;
}

bool CKVDoc::OpenDocument(const std::string& path, std::string* error, bool openDataSource)
{
    std::vector<std::uint8_t> bytes;
    std::string reason;
    if (!ReadFileToBytes(path, bytes, &reason)) {
        if (error) *error = StrFormat(LoadKvString(IDS_CANNOT_OPEN).c_str(), path.c_str(), reason.c_str());
        return false;
    }
    if (!LoadFromBytes(bytes.data(), bytes.size(), &reason)) {
        if (!error) return false;
        if (StartsWith(reason, "This is a label file"))
            *error = reason;
        else if (reason == "not a label document")
            *error = StrFormat(LoadKvString(IDS_NOT_LABEL_FILE).c_str(), path.c_str());
        else
            *error = StrFormat(LoadKvString(IDS_CANNOT_OPEN).c_str(), path.c_str(), reason.c_str());
        return false;
    }
    m_strPath = path;
    m_fontTable.reset();

    const CPrinterLookup& printers = GetPrinterLookup();
    const CPrinterInfo* printer = printers.Find(m_format.m_strPrinter);
    if (!printer) {
        if (!m_format.IsWindowsDriverMode())
            KvMessageBox(FormatPlaceholders(LoadKvString(IDS_PRINTER_NOT_FOUND), {m_format.m_strPrinter}),
                         MSG_OK | MSG_ICONWARNING);
        printer = &printers.GetDefault();
        m_format.m_strPrinter = printer->m_strName;
    }
    m_format.m_nHDpi = printer->m_nHDpi;
    m_format.m_nVDpi = printer->m_nVDpi;
    m_format.m_nLanguage = printer->m_nLanguage;
    ReloadPrinterFonts();

    const int orientation = GetOrientation();
    RotateAll(m_objects, orientation, 0);
    RotateAll(m_templates, orientation, 0);

    for (CDrawObj* obj : m_objects) obj->RecalcSize();

    if (!m_format.DevModeMatches(*printer))
        m_format.SetDevMode(printer->m_devMode.empty() ? nullptr : &printer->m_devMode);

    OnPrinterChanged();
    if (openDataSource) OpenDataSource(FALSE);
    m_bShowRemarkOnOpen = StartsWith(m_format.m_strRemark, "Y");
    m_bPasswordLocked = !m_format.GetProperty(LFP_PASSWORD).empty();
    m_bModified = false;
    return true;
}

BOOL CKVDoc::OnSaveDocument(const std::string& path)
{
    std::string error;
    if (SaveDocument(path, &error)) return TRUE;
    KvMessageBox(error, MSG_OK | MSG_ICONERROR);
    return FALSE;
}

bool CKVDoc::SaveDocument(const std::string& path, std::string* error)
{
    m_format.m_strSaved = MakeStamp();
    std::string reason;
    bool ok = false;
    try {
        const std::vector<std::uint8_t> bytes = SaveToBytes();
        ok = WriteFileSafely(path, bytes, &reason);
    } catch (const CArchiveException& e) {
        reason = e.what();
    }
    WriteAppSettingString("LastLabel", m_format.MakePaperDefinition());
    if (!ok) {
        if (error) *error = StrFormat(LoadKvString(IDS_CANNOT_SAVE).c_str(), path.c_str(), reason.c_str());
        return false;
    }
    m_strPath = path;
    m_bModified = false;
    return true;
}

BOOL CKVDoc::OnNewDocument()
{
    DeleteContents();
    m_format = CLabelFormat();
    const CPrinterInfo* printer = &GetPrinterLookup().GetDefault();

    if (!s_firstNewDocumentMade || !s_selectLabel) {
        m_format.m_strPrinter = printer->m_strName;
        m_format.m_nLanguage = printer->m_nLanguage;
        std::string last = GetAppSettingString("LastLabel", kDefaultLastLabel);
        if (Trim(last).empty()) last = kDefaultLastLabel;
        CLabelFormat parsed(m_format);
        if (parsed.ApplyPaperDefinition(last)) m_format = parsed;
    } else {
        CLabelFormat chosen(m_format);
        chosen.m_strPrinter = printer->m_strName;
        chosen.m_nLanguage = printer->m_nLanguage;
        if (!s_selectLabel(chosen)) return FALSE;
        m_format.m_strPrinter = chosen.m_strPrinter;
        m_format.m_nLanguage = chosen.m_nLanguage;
        m_format.m_strLabelName = chosen.m_strLabelName;
        m_format.m_nPaperCode = chosen.m_nPaperCode;
        m_format.m_nPaperWidth = chosen.m_nPaperWidth;
        m_format.m_nPaperHeight = chosen.m_nPaperHeight;
        m_format.m_nLabelWidth = chosen.m_nLabelWidth;
        m_format.m_nLabelHeight = chosen.m_nLabelHeight;
        m_format.m_nLeftMargin = chosen.m_nLeftMargin;
        m_format.m_nTopMargin = chosen.m_nTopMargin;
        m_format.m_nHGap = chosen.m_nHGap;
        m_format.m_nVGap = chosen.m_nVGap;
        m_format.m_nRows = chosen.m_nRows;
        m_format.m_nColumns = chosen.m_nColumns;
        m_format.m_nPageOrientation = chosen.m_nPageOrientation;
        m_format.m_blocks = chosen.m_blocks;
        for (int key : {LFP_PAPER_EXTRA, LFP_ORIENTATION, LFP_TEMPLATES})
            m_format.SetProperty(key, chosen.GetProperty(key));
        if (const CPrinterInfo* p = GetPrinterLookup().Find(chosen.m_strPrinter)) printer = p;
    }
    s_firstNewDocumentMade = true;

    m_format.SetProperty(LFP_WINDOWS_DRIVER, "Y");
    m_format.m_nHDpi = printer->m_nHDpi;
    m_format.m_nVDpi = printer->m_nVDpi;
    ReloadPrinterFonts();
    m_nPrinterFamily = printer->m_nFamily;
    m_nPrinterModel = printer->m_nModel;
    m_format.m_strCreated = MakeStamp();
    m_format.m_strThird.clear();
    OnPrinterChanged();
    const int orientation = GetOrientation();
    RotateAll(m_objects, orientation, 0);
    m_format.BuildTemplateObjects(m_templates);
    for (CDrawObj* t : m_templates) t->m_pDocument = this;
    RotateAll(m_templates, orientation, 0);
    m_strPath.clear();
    m_bModified = false;
    return TRUE;
}

// ---- objects and variables ----------------------------------------------

int CKVDoc::TakeNextId() { return m_format.m_nNextID++; }

// ---- what the variables ask ------------------------------------------------

VariableJobShape CKVDoc::GetJobShape() const
{
    VariableJobShape s;
    s.copies = m_format.m_nCopies < 1 ? 1 : m_format.m_nCopies;
    s.across = m_format.m_nColumns < 1 ? 1 : m_format.m_nColumns;
    s.labels = m_format.GetQuantity();
    return s;
}

bool CKVDoc::GetPrinterClockText(const CVariable& var, CVariableUser* user, const CLocalTime& time,
                                 std::string& text)
{
    if (!m_driver || !TakesPrinterClock(var, dynamic_cast<CDrawObj*>(user))) return false;
    const int index = AtoI(var.GetProperty(VP_CLOCK_FORMAT));
    text = var.m_nKind == VK_DATE ? m_driver->GetClockDateText(index, &time) : m_driver->GetClockTimeText(index, &time);
    return true;
}

// ---- values asked at print time ------------------------------------------

std::vector<std::pair<int, CVariable*>> CKVDoc::CollectInputVariables() const
{
    std::vector<std::pair<int, CVariable*>> out;
    for (size_t i = 0; i < m_variables.size(); ++i)
        if (m_variables[i]->NeedsInput()) out.emplace_back(int(i), m_variables[i]);
    return out;
}

bool CKVDoc::SetInputValue(CVariable* var, const std::string& value)
{
    if (!var || var->m_strData == value) return false;
    var->m_strData = value;
    var->NotifyUsers();
    m_bModified = true;
    return true;
}

// ---- after printing --------------------------------------------------------

CKVDoc::SerialAdvance CKVDoc::AdvanceAfterPrint(int labels, int total)
{
    SerialAdvance a;
    a.labels = labels;
    a.total = total;
    a.firstRecordBefore = m_format.m_nStartRecord;
    if (m_recordSource) {
        const long long moved = static_cast<long long>(m_format.m_nStartRecord) + labels;
        const int count = GetRecordCount();
        m_format.m_nStartRecord = int(std::max<long long>(1, std::min<long long>(moved, count)));
    }
    a.firstRecordAfter = m_format.m_nStartRecord;

    CLabelPos pos;
    pos.m_nLabel = total;
    pos.m_nRecord = labels;
    for (CVariable* v : m_variables) {
        if (v->m_nKind != VK_SERIAL && v->m_nKind != VK_DATABASE) continue;
        SerialAdvance::Value value{v->m_nID, v->m_strData, std::string()};
        if (v->m_nKind == VK_SERIAL)
            v->AdvanceStart(pos);
        else
            v->RefreshDatabaseValue();
        value.after = v->m_strData;
        a.values.push_back(std::move(value));
    }
    ApplyAdvance(a, true);
    return a;
}

void CKVDoc::UndoAdvanceAfterPrint(const SerialAdvance& advance) { ApplyAdvance(advance, false); }

void CKVDoc::RedoAdvanceAfterPrint(const SerialAdvance& advance) { ApplyAdvance(advance, true); }

void CKVDoc::ApplyAdvance(const SerialAdvance& a, bool after)
{
    // Counting back is no inverse where a counter grew or wrapped (99, 100,
    // 099), so the values recorded by the advance are put back as they were.
    m_format.m_nStartRecord = after ? a.firstRecordAfter : a.firstRecordBefore;
    std::vector<CDrawObj*> users;
    for (const SerialAdvance::Value& value : a.values) {
        CVariable* v = FindVariableById(value.id);
        if (!v) continue;
        v->m_strData = after ? value.after : value.before;
        for (CVariableUser* user : v->m_users) {
            CDrawObj* obj = dynamic_cast<CDrawObj*>(user);
            if (obj && std::find(users.begin(), users.end(), obj) == users.end()) users.push_back(obj);
        }
    }
    for (CDrawObj* obj : users) {
        InvalidateObject(obj);
        obj->UpdateBounds();
        InvalidateObject(obj);
    }
    m_bModified = true;
}

void CKVDoc::AddObject(CDrawObj* obj)
{
    if (!obj) return;
    m_objects.push_back(obj);
    obj->m_pDocument = this;
    obj->m_nID = TakeNextId();
    m_bModified = true;
}

void CKVDoc::RemoveObject(CDrawObj* obj)
{
    const auto it = std::find(m_objects.begin(), m_objects.end(), obj);
    if (it == m_objects.end()) return;
    m_objects.erase(it);
    for (CKVView* v : m_views) v->OnObjectRemoved(obj);
    m_bModified = true;
}

void CKVDoc::AddVariable(CVariable* var)
{
    if (!var) return;
    m_variables.push_back(var);
    var->m_pDocument = this;
    var->m_nID = TakeNextId();
    m_bModified = true;
}

void CKVDoc::RemoveVariable(CVariable* var)
{
    const auto it = std::find(m_variables.begin(), m_variables.end(), var);
    if (it == m_variables.end()) return;
    m_variables.erase(it);
    m_bModified = true;
}

CDrawObj* CKVDoc::FindObject(const std::vector<CDrawObj*>& list, int id)
{
    for (CDrawObj* obj : list)
        if (obj->m_nID == id) return obj;
    return nullptr;
}

CVariable* CKVDoc::FindVariable(const std::string& name) const
{
    for (CVariable* v : m_variables)
        if (v->m_strName == name) return v;
    return nullptr;
}

CVariable* CKVDoc::FindVariableById(int id) const
{
    for (CVariable* v : m_variables)
        if (v->m_nID == id) return v;
    return nullptr;
}

CDrawObj* CKVDoc::ObjectAt(CPoint pt) const
{
    const bool skipNonPrinting = NonPrintObjectsUnselectable();
    const CRect probe(pt.x, pt.y, pt.x + 1, pt.y + 1);
    for (auto it = m_objects.rbegin(); it != m_objects.rend(); ++it) {
        CDrawObj* obj = *it;
        if (skipNonPrinting && obj->IsNonPrinting()) continue;
        if (obj->Intersects(probe)) return obj;
    }
    return nullptr;
}

// ---- links ---------------------------------------------------------------

std::string CKVDoc::BuildLinkString(const std::vector<CDrawObj*>& list)
{
    std::string s;
    for (CDrawObj* obj : list) {
        if (const auto* g = dynamic_cast<const CDrawGroup*>(obj)) {
            s += StrFormat(":;%d", g->m_nID);
            s += BuildLinkString(g->m_children);
            s += StrFormat(";%d", g->m_nID);
        } else {
            s += StrFormat(":%d", obj->m_nID);
            for (const CVariable* v : obj->m_variables) s += StrFormat(",%d", v->m_nID);
        }
    }
    return s;
}

void CKVDoc::ParseLinkString(std::string_view text, const std::vector<CDrawObj*>& list,
                             const std::unordered_map<int, CVariable*>& variables)
{
    ParseLinks(text, list, variables, 0);
}

// ---- orientation and printer ---------------------------------------------

void CKVDoc::RotateAll(std::vector<CDrawObj*>& list, int to, int from)
{
    if (to == from) return;
    const int q = ((to - from) % 4 + 4) % 4;
    const CRect label = (to % 2 == 0) ? CRect(0, 0, m_format.m_nLabelWidth, m_format.m_nLabelHeight)
                                      : CRect(0, 0, m_format.m_nLabelHeight, m_format.m_nLabelWidth);
    const int cx = label.Width() / 2;
    const int cy = label.Height() / 2;
    for (CDrawObj* obj : list) obj->Rotate(q, cx, cy, &label);
}

bool CKVDoc::ApplyPaperDefinition(const std::string& definition)
{
    const int before = GetOrientation();
    CLabelFormat changed(m_format);
    if (!changed.ApplyPaperDefinition(definition)) return false;
    RotateAll(m_objects, 0, before);
    m_format = changed;
    const int after = GetOrientation();
    RotateAll(m_objects, after, 0);
    m_format.BuildTemplateObjects(m_templates);
    for (CDrawObj* t : m_templates) t->m_pDocument = this;
    RotateAll(m_templates, after, 0);
    m_bModified = true;
    return true;
}

void CKVDoc::ApplyPrinterEntry(const CPrinterInfo& printer)
{
    m_format.m_strPrinter = printer.m_strName;
    m_format.m_nHDpi = printer.m_nHDpi;
    m_format.m_nVDpi = printer.m_nVDpi;
    m_format.m_nLanguage = printer.m_nLanguage;
    OnPrinterChanged();
}

void CKVDoc::ReloadPrinterFonts()
{
    // Printing through the Windows driver offers no resident fonts.
    if (!m_fontTable) m_fontTable = std::make_shared<CPrinterFontTable>();
    if (m_format.IsWindowsDriverMode()) {
        m_fontTable->Load(0, m_format.m_nHDpi, std::string(), m_format.m_nVDpi);
        return;
    }
    const CPrinterInfo* printer = GetPrinterLookup().Find(m_format.m_strPrinter);
    m_fontTable->Load(m_format.m_nLanguage, m_format.m_nHDpi, printer ? printer->m_strBrand : std::string(),
                      m_format.m_nVDpi);
}

void CKVDoc::OnPrinterChanged()
{
    ReloadPrinterFonts();
    const CPrinterInfo* printer = GetPrinterLookup().Find(m_format.m_strPrinter);
    if (!printer) printer = &GetPrinterLookup().GetDefault();
    m_nPrinterFamily = printer->m_nFamily;
    m_nPrinterModel = printer->m_nModel;
    m_driver = MakePrinterDriver(*this, m_format.m_nLanguage);
    // Raised to the lowest, then lowered to the highest speed: a printer
    // without a range (0 and 0) gets 0, its driver taking the speed from its
    // own settings.
    if (!m_format.IsWindowsDriverMode()) {
        m_format.m_nSpeed = std::max(m_format.m_nSpeed, printer->m_nMinSpeed);
        m_format.m_nSpeed = std::min(m_format.m_nSpeed, printer->m_nMaxSpeed);
    }
    for (auto* list : {&m_objects, &m_templates}) {
        for (CDrawObj* obj : *list) {
            const DWORD saved = obj->m_dwFlags;
            obj->m_dwFlags &= ~DWORD(0x0F);
            obj->AdaptToPrinter(this);
            obj->m_dwFlags = saved;
        }
    }
}

// ---- files named by the label ----------------------------------------------

std::string CKVDoc::ResolvePathFrom(const std::string& basePath, const std::string& name)
{
    // The volume root of the name. Drive letters and network shares are
    // names written on another machine: no such volume is readable here.
    size_t root = 0;
    const bool drive = name.size() >= 3 && std::isalpha(static_cast<unsigned char>(name[0])) && name[1] == ':' &&
                       (name[2] == '\\' || name[2] == '/');
    if (drive) {
        root = 3;
    } else if (StartsWith(name, "\\\\")) {
        // \\server\share\ : the server and the share make the root.
        const size_t server = name.find('\\', 2);
        const size_t share = server == std::string::npos ? std::string::npos : name.find('\\', server + 1);
        root = share == std::string::npos ? name.size() : share + 1;
    } else if (StartsWith(name, "/")) {
        return name;
    }

    std::string rest = name.substr(root);
    size_t skip = 0;
    while (skip + 1 < rest.size() && (rest[skip] == '\\' || rest[skip] == '/')) ++skip;
    rest.erase(0, skip);
    // Folders of names written elsewhere are separated by backslashes.
    for (char& c : rest)
        if (c == '\\') c = '/';
    const size_t cut = basePath.find_last_of("\\/:");
    const std::string folder = cut == std::string::npos ? std::string() : basePath.substr(0, cut + 1);
    return folder + rest;
}

// ---- devices ---------------------------------------------------------------

CSize CKVDoc::ToDevice(CSize size, int dpiX, int dpiY) const
{
    return CSize(UnitsToDots(size.cx, dpiX), UnitsToDots(size.cy, dpiY));
}

CRect CKVDoc::ToDevice(CRect r, int dpiX, int dpiY) const
{
    return CRect(UnitsToDots(r.left, dpiX), UnitsToDots(r.top, dpiY), UnitsToDots(r.right, dpiX),
                 UnitsToDots(r.bottom, dpiY));
}

void CKVDoc::InvalidateObject(CDrawObj* obj)
{
    for (CKVView* v : m_views) v->InvalObj(obj);
}
