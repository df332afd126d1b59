#include "data/variable.h"

#include <algorithm>

#include "data/datetime_format.h"
#include "data/serial.h"
#include "data/value_format.h"
#include "data/value_sources.h"
#include "platform/strutil.h"

KV_IMPLEMENT_SERIAL(CVariable, CObject, 0)

const char kDefaultVariableScript[] = "Function OnGetData()\r\n    OnGetData = \"12345678\"\r\nEnd Function";

CVariable::CVariable() { ResetDefaults(); }

CVariable::CVariable(int kind)
{
    ResetDefaults();
    m_nKind = kind;
    if (kind == VK_DATE || kind == VK_TIME)
        m_strData = InitialDateTimeValue(kind);
    else
        m_strData = "12345678";
    if (kind == VK_SCRIPT) SetProperty(VP_SCRIPT, kDefaultVariableScript);
}

CVariable::~CVariable() = default;

void CVariable::ResetDefaults()
{
    m_nID = 0;
    m_nKind = VK_FIXED;
    m_strName.clear();
    m_strData.clear();
    m_nSerialType = 0;
    m_nStep = 1;
    m_nRepeat = 1;
    m_nCountBasis = 0;
    m_strAlphabet = "0123456789";
    m_strReserved10.clear();
    m_strReserved11.clear();
    m_strField.clear();
    m_nFormat = 0;
    m_nOffset = 0;
    m_strReserved15.clear();
    m_strPrompt = "Input:";
    m_strReserved17.clear();
    m_dwFlags = 0;
    m_nMinLength = 1;
    m_nPadSide = 0;
    m_chPad = '0';
    m_nMaxLength = 8;
    m_nCutSide = 0;
    m_nReserved24 = 0;
    m_nDiscardLeft = 0;
    m_nDiscardRight = 0;
    m_nKeepMode = 0;
    m_nKeepCount = 1;
    m_nAllowClass = 0;
    m_strAllowChars = "1234567890";
    m_nInvalidAction = 0;
    m_chReplace = '0';
    m_properties.Clear();
}

void CVariable::Serialize(CArchive& ar)
{
    if (ar.IsLoading()) m_pDocument = dynamic_cast<CVariableHost*>(ar.m_pDocument);
    ar.Exchange(m_nID);
    ar.Exchange(m_nKind);
    ar.Exchange(m_strName);
    ar.Exchange(m_strData);
    ar.Exchange(m_nSerialType);
    ar.Exchange(m_nStep);
    ar.Exchange(m_nRepeat);
    ar.Exchange(m_nCountBasis);
    ar.Exchange(m_strAlphabet);
    ar.Exchange(m_strReserved10);
    ar.Exchange(m_strReserved11);
    ar.Exchange(m_strField);
    ar.Exchange(m_nFormat);
    ar.Exchange(m_nOffset);
    ar.Exchange(m_strReserved15);
    ar.Exchange(m_strPrompt);
    ar.Exchange(m_strReserved17);
    ar.Exchange(m_dwFlags);
    ar.Exchange(m_nMinLength);
    ar.Exchange(m_nPadSide);
    ar.Exchange(m_chPad);
    ar.Exchange(m_nMaxLength);
    ar.Exchange(m_nCutSide);
    ar.Exchange(m_nReserved24);
    ar.Exchange(m_nDiscardLeft);
    ar.Exchange(m_nDiscardRight);
    ar.Exchange(m_nKeepMode);
    ar.Exchange(m_nKeepCount);
    ar.Exchange(m_nAllowClass);
    ar.Exchange(m_strAllowChars);
    ar.Exchange(m_nInvalidAction);
    ar.Exchange(m_chReplace);
    m_properties.Serialize(ar);
}

std::string CVariable::GetValue(const CLabelPos* pos, CVariableUser* obj)
{
    std::string value;
    switch (m_nKind) {
    case VK_SERIAL: value = pos ? GetSerialValue(*pos) : m_strData; break;
    case VK_DATABASE: value = DatabaseValue(pos); break;
    case VK_DATE:
    case VK_TIME: value = EvaluateDateTime(*this, obj); break;
    case VK_SCRIPT:
        if (!m_pDocument || !m_pDocument->GetScriptEvaluator() ||
            !m_pDocument->GetScriptEvaluator()->GetScriptValue(*this, pos, obj, value))
            value.clear();
        break;
    default: value = m_strData; break;
    }
    return ApplyFormatting(value);
}

std::string CVariable::GetDisplayValue(CVariableUser* obj)
{
    if (m_nKind == VK_DATE || m_nKind == VK_TIME) return ApplyFormatting(EvaluateDateTime(*this, obj));
    return ApplyFormatting(m_strData);
}

std::string CVariable::GetSerialValue(const CLabelPos& pos) const
{
    const bool reset = GetProperty(VP_RESET) == "1";
    return AdvanceSerial(m_strData, GetAlphabet(), SerialIncrement(pos, m_nCountBasis, reset, m_nRepeat, m_nStep));
}

std::string CVariable::ApplyFormatting(const std::string& value) const { return ApplyValueFormatting(*this, value); }

void CVariable::AdvanceStart(const CLabelPos& pos) { m_strData = GetSerialValue(pos); }

std::string CVariable::GetScriptText() const
{
    std::string script = GetProperty(VP_SCRIPT);
    return script.empty() ? std::string(kDefaultVariableScript) : script;
}

std::string CVariable::FieldName() const { return m_strField.substr(0, m_strField.find('\n')); }

int CVariable::FieldIndex() const
{
    const size_t nl = m_strField.find('\n');
    return nl == std::string::npos ? 0 : AtoI(std::string_view(m_strField).substr(nl + 1));
}

std::string CVariable::DatabaseValue(const CLabelPos* pos) const
{
    if (!m_pDocument) return std::string();
    const int record = m_pDocument->GetStartRecord() + (pos ? pos->m_nRecord : 0);
    if (m_pDocument->GetRecordCount() < record) return std::string();
    return m_pDocument->GetFieldValue(record, FieldName(), FieldIndex());
}

int CVariable::RefreshDatabaseValue()
{
    // Without a source there is nothing to read: the last value stays.
    if (m_pDocument && m_pDocument->HasRecordSource()) m_strData = DatabaseValue(nullptr);
    return 1;
}

std::string CVariable::GetAlphabet() const { return SerialAlphabet(m_nSerialType, m_strAlphabet); }

int CVariable::IndexInAlphabet(char c) const { return ::IndexInAlphabet(GetAlphabet(), c); }

bool CVariable::NeedsInput() const
{
    return m_nKind == VK_KEYBOARD || (m_nKind == VK_SERIAL && (m_dwFlags & VF_INPUT_ON_PRINT) != 0);
}

namespace {
VariableJobShape ShapeOf(const CVariableHost* doc) { return doc ? doc->GetJobShape() : VariableJobShape(); }
}  // namespace

int CVariable::PrinterSerialRows() const
{
    const VariableJobShape j = ShapeOf(m_pDocument);
    if (m_nCountBasis == 1 && j.labels == 1) return 1;
    const int repeat = m_nRepeat < 1 ? 1 : m_nRepeat;
    const int n = j.copies * repeat;
    if (n % j.across == 0) return n / j.across;
    if (n <= j.across) return j.across % n == 0 ? 1 : 0;
    return 0;
}

int CVariable::PrinterSerialStep(int rows) const
{
    const VariableJobShape j = ShapeOf(m_pDocument);
    if (m_nCountBasis == 1 && j.labels == 1) return m_nStep;
    const int repeat = m_nRepeat < 1 ? 1 : m_nRepeat;
    return int(static_cast<long long>(j.across) * m_nStep * rows / (static_cast<long long>(j.copies) * repeat));
}

CVariable* CVariable::Clone(CVariableHost* doc) const
{
    auto* v = new CVariable;
    v->m_strData = m_strData;
    v->CopyFrom(*this);
    if (doc) doc->AddVariable(v);
    return v;
}

void CVariable::CopyFrom(const CVariable& s)
{
    if (&s == this) return;
    m_nID = s.m_nID;
    m_nKind = s.m_nKind;
    m_strName = s.m_strName;
    m_strData = s.m_strData;
    m_nSerialType = s.m_nSerialType;
    m_nStep = s.m_nStep;
    m_nRepeat = s.m_nRepeat;
    m_nCountBasis = s.m_nCountBasis;
    m_strAlphabet = s.m_strAlphabet;
    m_strReserved10 = s.m_strReserved10;
    m_strReserved11 = s.m_strReserved11;
    m_strField = s.m_strField;
    m_nFormat = s.m_nFormat;
    m_nOffset = s.m_nOffset;
    m_strReserved15 = s.m_strReserved15;
    m_strPrompt = s.m_strPrompt;
    m_strReserved17 = s.m_strReserved17;
    m_dwFlags = s.m_dwFlags;
    m_nMinLength = s.m_nMinLength;
    m_nPadSide = s.m_nPadSide;
    m_chPad = s.m_chPad;
    m_nMaxLength = s.m_nMaxLength;
    m_nCutSide = s.m_nCutSide;
    m_nReserved24 = s.m_nReserved24;
    m_nDiscardLeft = s.m_nDiscardLeft;
    m_nDiscardRight = s.m_nDiscardRight;
    m_nKeepMode = s.m_nKeepMode;
    m_nKeepCount = s.m_nKeepCount;
    m_nAllowClass = s.m_nAllowClass;
    m_strAllowChars = s.m_strAllowChars;
    m_nInvalidAction = s.m_nInvalidAction;
    m_chReplace = s.m_chReplace;
    m_properties = s.m_properties;
}

bool CVariable::IsEqual(const CVariable& o) const
{
    if (&o == this) return true;
    return m_nKind == o.m_nKind && m_strName == o.m_strName && m_strData == o.m_strData &&
           m_pDocument == o.m_pDocument && m_nID == o.m_nID && m_nSerialType == o.m_nSerialType &&
           m_nStep == o.m_nStep && m_nRepeat == o.m_nRepeat && m_nCountBasis == o.m_nCountBasis &&
           m_strAlphabet == o.m_strAlphabet && m_strReserved10 == o.m_strReserved10 &&
           m_strReserved11 == o.m_strReserved11 && m_strField == o.m_strField && m_nFormat == o.m_nFormat &&
           m_nOffset == o.m_nOffset && m_strReserved15 == o.m_strReserved15 && m_strPrompt == o.m_strPrompt &&
           m_strReserved17 == o.m_strReserved17 && m_dwFlags == o.m_dwFlags && m_nMinLength == o.m_nMinLength &&
           m_nPadSide == o.m_nPadSide && m_chPad == o.m_chPad && m_nMaxLength == o.m_nMaxLength &&
           m_nCutSide == o.m_nCutSide && m_nReserved24 == o.m_nReserved24 && m_nDiscardLeft == o.m_nDiscardLeft &&
           m_nDiscardRight == o.m_nDiscardRight && m_nKeepMode == o.m_nKeepMode &&
           m_nKeepCount == o.m_nKeepCount && m_nAllowClass == o.m_nAllowClass &&
           m_strAllowChars == o.m_strAllowChars && m_nInvalidAction == o.m_nInvalidAction &&
           m_chReplace == o.m_chReplace && m_properties.IsEqual(o.m_properties);
}

void CVariable::AttachUser(CVariableUser* obj)
{
    if (std::find(m_users.begin(), m_users.end(), obj) == m_users.end()) m_users.push_back(obj);
}

bool CVariable::DetachUser(CVariableUser* obj)
{
    const auto it = std::find(m_users.begin(), m_users.end(), obj);
    // Only the departure of a real user can make the variable unused.
    if (it == m_users.end()) return false;
    m_users.erase(it);
    if (!m_users.empty()) return false;
    if (m_pDocument) m_pDocument->RemoveVariable(this);
    delete this;
    return true;
}

void CVariable::NotifyUsers()
{
    const std::vector<CVariableUser*> users = m_users;
    for (CVariableUser* obj : users) obj->UpdateBounds();
}
