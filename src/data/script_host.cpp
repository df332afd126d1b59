#include "data/script_host.h"

#include "data/variable.h"
#include "platform/app_settings.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/strutil.h"
#include "resources/scripts.h"
#include "vbscript/convert.h"
#include "vbscript/errors.h"

namespace {

// The status the engine's callers saw when it had reported the error itself.
constexpr unsigned long kErrorReported = 0x80020101ul;
// A long job whose script fails on every label keeps the first errors only.
constexpr size_t kMaxErrors = 1000;

vbs::DateTime ScriptClock()
{
    const CLocalTime t = CurrentLocalTime();  // the job's clock: korvane --now fixes it
    return vbs::DateTime{t.year, t.month, t.day, t.hour, t.minute, t.second};
}

}  // namespace

CScriptSettings CScriptSettings::FromAppSettings() { return CScriptSettings{ScriptsEnabledSetting(), ScriptLimitsSetting()}; }

CScriptHost::CScriptHost() = default;
CScriptHost::~CScriptHost() = default;

BOOL CScriptHost::Initialize()
{
    const CScriptSettings settings = m_settings ? *m_settings : CScriptSettings::FromAppSettings();
    if (!settings.enabled) return FALSE;
    m_errors.clear();
    m_engine = std::make_unique<vbs::Engine>();
    m_engine->SetLimits(settings.limits);
    m_engine->SetClock(ScriptClock);
    m_engine->SetWideConversion([](std::string_view s) { return AnsiToUtf16(s); },
                                [](std::u16string_view w) { return Utf16ToAnsi(w); });
    return TRUE;
}

void CScriptHost::AddEngineError(const vbs::ScriptError& e)
{
    if (m_errors.size() >= kMaxErrors) return;
    m_errors.push_back(StrFormat("Script error in line %ld, position %ld", e.line, e.position));
    if (!e.description.empty()) m_errors.push_back(e.description);
}

BOOL CScriptHost::AddCode(const std::string& text)
{
    if (!m_engine) return FALSE;
    if (m_engine->AddCode(text)) return TRUE;
    const vbs::ScriptError& e = m_engine->LastError();
    AddEngineError(e);
    if (m_errors.size() < kMaxErrors)
        m_errors.push_back(StrFormat("COM Error: 0x%08lx\n", kErrorReported) +
                       (e.syntax ? kScriptErrorParsing : kScriptErrorRunning));
    return FALSE;
}

BOOL CScriptHost::CallFunction(const std::string& name, std::string& out, int arg)
{
    if (!m_engine || !m_engine->HasProcedure(name)) return FALSE;
    std::vector<vbs::Value> args;
    if (arg != -1) args.push_back(vbs::Value::Long(arg));
    vbs::Value result;
    if (!m_engine->Call(name, args, &result)) {
        AddEngineError(m_engine->LastError());
        return FALSE;
    }
    try {
        out = vbs::ToText(result);
    } catch (const vbs::ScriptException&) {
        return FALSE;  // an array or Nothing has no text
    }
    return TRUE;
}

int CScriptHost::ReadTotalLabels()
{
    if (!m_engine) return -1;
    const auto v = m_engine->GetGlobal("V_TOTALLABELS");
    if (!v) return -1;
    try {
        const std::int32_t n = vbs::ToLong(*v);
        return n > 0 ? n : 0;
    } catch (const vbs::ScriptException&) {
        return -1;
    }
}

BOOL CScriptHost::DefineCounters()
{
    std::string text;
    text += StrFormat("V_PAGE = \"%d\"\r\n", V_PAGE);
    text += StrFormat("V_COPY = \"%d\"\r\n", V_COPY);
    text += StrFormat("V_ROW = \"%d\"\r\n", V_ROW);
    text += StrFormat("V_COL = \"%d\"\r\n", V_COL);
    text += StrFormat("V_LABELNO = \"%d\"\r\n", V_LABELNO);
    text += StrFormat("V_TOTALLABELS = \"%d\"\r\n", V_TOTALLABELS);
    text += StrFormat("V_STARTNO = \"%d\"\r\n", V_STARTNO);
    text += NamedStatement("V_TITLE", V_TITLE);
    text += NamedStatement("V_PRINTER", V_PRINTER);
    text += StrFormat("V_PRINTTOTAL = \"%d\"\r\n", m_nPrintedBase);
    return AddCode(text);
}

void CScriptHost::Close() { m_engine.reset(); }

bool CScriptHost::IsScriptName(std::string_view name)
{
    auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    if (name.empty() || !letter(name[0])) return false;
    for (char c : name)
        if (!letter(c) && !(c >= '0' && c <= '9') && c != '_') return false;
    return true;
}

std::string CScriptHost::ScriptString(std::string_view value)
{
    // A database field or a typed value may hold quotes and line breaks: the
    // literal must give back exactly the value and never end early.
    std::string out = "\"";
    for (size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '"') {
            out += "\"\"";
        } else if (c == '\r' && i + 1 < value.size() && value[i + 1] == '\n') {
            out += "\" & vbCrLf & \"";
            ++i;
        } else if (c == '\r') {
            out += "\" & vbCr & \"";
        } else if (c == '\n') {
            out += "\" & vbLf & \"";
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string CScriptHost::NamedStatement(std::string_view name, std::string_view value)
{
    return std::string(name) + " = " + ScriptString(value) + "\r\n";
}

void CScriptHost::AddNamedVariables(const std::vector<CVariable*>& variables, const CLabelPos* pos)
{
    for (CVariable* v : variables) {
        if (v->m_nKind == VK_SCRIPT || !IsScriptName(v->m_strName)) continue;
        const std::string value = pos ? v->GetValue(pos, nullptr) : v->GetDisplayValue(nullptr);
        AddCode(NamedStatement(v->m_strName, value));
    }
}

void CScriptHost::PrepareScripts(const CScriptContext& context, const std::vector<CVariable*>& variables,
                                 const CLabelPos* pos)
{
    V_TITLE = context.title;
    V_PRINTER = context.printer;
    m_nPrintedBase = context.printedTotal;
    DefineCounters();
    AddNamedVariables(variables, pos);
    AddCode(LoadKvScript(IDR_SCRIPT_PREDEFINED));
    AddCode(context.labelScript);
}

void CScriptHost::SetScriptVariables(int page, int row, int column, int copies, const CLabelPos& pos,
                                     const std::vector<CVariable*>& variables)
{
    V_PAGE = page;
    V_COPY = copies;
    V_ROW = row;
    V_COL = column;
    V_LABELNO = pos.m_nRecord + 1;
    std::string text;
    text += StrFormat("V_PAGE = \"%d\"\r\n", V_PAGE);
    text += StrFormat("V_COPY = \"%d\"\r\n", V_COPY);
    text += StrFormat("V_ROW = \"%d\"\r\n", V_ROW);
    text += StrFormat("V_COL = \"%d\"\r\n", V_COL);
    text += StrFormat("V_LABELNO = \"%d\"\r\n", V_LABELNO);
    text += StrFormat("V_PRINTTOTAL = \"%d\"\r\n", m_nPrintedBase + pos.m_nRecord);
    AddCode(text);
    AddNamedVariables(variables, &pos);
}

bool CScriptHost::BeginJob(const CScriptContext& context, const std::vector<CVariable*>& variables, int startNo,
                           bool preview, int& labels)
{
    if (!Initialize()) return false;
    V_PAGE = V_COPY = V_ROW = V_COL = V_LABELNO = 1;
    V_TOTALLABELS = labels;
    V_STARTNO = startNo;
    const CLabelPos first;
    PrepareScripts(context, variables, &first);
    std::string result;
    CallFunction("OnBeginPrint", result, preview ? 1 : 2);
    const int total = ReadTotalLabels();
    if (total != -1) labels = total;
    return true;
}

void CScriptHost::BeginLabel(int page, int row, int column, int copies, const CLabelPos& pos,
                             const std::vector<CVariable*>& variables)
{
    SetScriptVariables(page, row, column, copies, pos, variables);
    std::string result;
    CallFunction("OnBeginLabel", result, -1);
}

void CScriptHost::EndLabel()
{
    std::string result;
    CallFunction("OnEndLabel", result, -1);
}

std::string CScriptHost::EndJob()
{
    std::string result;
    CallFunction("OnEndPrint", result, -1);
    Close();
    return result;
}

bool CScriptHost::GetScriptValue(const CVariable& var, const CLabelPos*, CVariableUser*, std::string& result)
{
    result.clear();
    if (!AddCode(var.GetScriptText())) return false;
    return CallFunction("OnGetData", result, -1);
}

bool CScriptHost::CheckSyntax(const std::string& text, std::string& message)
{
    message.clear();
    if (text.empty()) return true;
    if (!m_engine) return false;
    if (AddCode(text)) {
        message = kScriptSyntaxOk;
        return true;
    }
    for (const std::string& e : m_errors) message += e + "\r\n";
    Close();
    Initialize();
    return false;
}

bool ScriptingOnForJob(const CScriptSettings& settings, const std::vector<CVariable*>& variables)
{
    if (!settings.enabled) return false;
    for (const CVariable* v : variables)
        if (v->m_nKind == VK_SCRIPT) return true;
    return false;
}

std::vector<CVariable*> RefreshScriptVariables(CScriptHost& host, const CScriptContext& context,
                                               const std::vector<CVariable*>& variables)
{
    std::vector<CVariable*> changed;
    if (!host.Initialize()) return changed;
    host.V_PAGE = host.V_COPY = host.V_ROW = host.V_COL = host.V_LABELNO = host.V_TOTALLABELS = host.V_STARTNO = 1;
    host.PrepareScripts(context, variables, nullptr);
    std::string result;
    host.CallFunction("OnBeginPrint", result, 0);
    host.CallFunction("OnBeginLabel", result, -1);
    for (CVariable* v : variables) {
        if (v->m_nKind != VK_SCRIPT) continue;
        std::string value;
        if (host.AddCode(v->GetScriptText())) host.CallFunction("OnGetData", value, -1);
        if (value != v->m_strData) {
            v->m_strData = value;
            changed.push_back(v);
        }
    }
    host.CallFunction("OnEndLabel", result, -1);
    host.CallFunction("OnEndPrint", result, -1);
    host.Close();
    return changed;
}

bool TestScript(CVariable& var, const std::vector<CVariable*>& edited, const CScriptContext& context,
                const CScriptSettings& settings)
{
    CScriptHost host;
    host.SetSettings(settings);
    if (!host.Initialize()) return false;
    host.PrepareScripts(context, edited, nullptr);
    std::string result;
    host.CallFunction("OnBeginPrint", result, 0);
    host.CallFunction("OnBeginLabel", result, -1);
    std::string value;
    if (host.AddCode(var.GetScriptText())) host.CallFunction("OnGetData", value, -1);
    var.m_strData = value;
    host.CallFunction("OnEndLabel", result, -1);
    host.CallFunction("OnEndPrint", result, -1);
    host.Close();
    return true;
}
