#include "model/drawobj.h"

#include <algorithm>

#include "platform/app_settings.h"
#include "data/variable.h"
#include "model/view.h"
#include "model/document.h"
#include "model/drawgroup.h"
#include "platform/codepage.h"
#include "platform/monobitmap.h"
#include "platform/strutil.h"
#include "model/printer_capabilities.h"

KV_IMPLEMENT_SERIAL(CDrawObj, CObject, 0)

bool NonPrintObjectsUnselectable() { return GetAppSettingInt("DontSelectNoprintObject", 0) != 0; }

CDrawObj::CDrawObj() = default;

CDrawObj::CDrawObj(const CRect& position) : m_position(position) {}

CDrawObj::~CDrawObj() = default;

void CDrawObj::Serialize(CArchive& ar)
{
    if (ar.IsLoading()) m_pDocument = dynamic_cast<CKVDoc*>(ar.m_pDocument);
    ar.Exchange(m_nID);
    ar.Exchange(m_nType);
    ar.Exchange(m_dwFlags);
    ar.Exchange(m_position);
    ar.Exchange(m_nRotation);
    ar.Exchange(m_nBackground);
    ar.Exchange(m_strComment);
    ar.Exchange(m_nReserved);
    m_properties.Serialize(ar);
}

std::string CDrawObj::ApplyFormatMask(const std::string& mask, const std::string& data)
{
    std::string out;
    if (data.empty()) return out;
    size_t d = 0;
    for (size_t m = 0; m < mask.size() && d < data.size(); ++m) {
        if (mask[m] == '?') {
            const size_t n = CharLengthAt(data, d);
            out.append(data, d, n);
            d += n;
        } else {
            out += mask[m];
        }
    }
    if (d < data.size()) out.append(data, d, std::string::npos);
    return out;
}

BOOL CDrawObj::UsesPrinterClock()
{
    if (!m_pDocument || !m_pDocument->m_driver) return FALSE;
    if (!m_pDocument->m_driver->GetCapability(17, 0)) return FALSE;
    if (m_variables.size() != 1) return FALSE;
    const CVariable* v = m_variables.front();
    if (v->m_nKind != VK_DATE && v->m_nKind != VK_TIME) return FALSE;
    return AtoI(v->GetProperty(VP_PRINTER_CLOCK)) == 1;
}

BOOL CDrawObj::ExportText(std::string&, int&) { return TRUE; }

CRect CDrawObj::GetDrawRect() const { return m_position; }

int CDrawObj::GetDataIcon() { return -1; }

BOOL CDrawObj::IsPrinterPrompt()
{
    if (!m_pDocument || !m_pDocument->m_format.IsFormDownload()) return FALSE;
    if (m_variables.size() != 1 || m_nOutputMethod != 0) return FALSE;
    const CVariable* v = m_variables.front();
    if (v->m_nKind == VK_KEYBOARD) return TRUE;
    return v->m_nKind == VK_SERIAL && (v->m_dwFlags & VF_INPUT_ON_PRINT) != 0;
}

BOOL CDrawObj::SetFromDefinition(const std::string& definition)
{
    const auto f = SplitString(definition, ',');
    auto at = [&](size_t i) { return i < f.size() ? AtoI(f[i]) : 0; };
    m_position = CRect(at(1), at(2), at(3), at(4));
    return TRUE;
}

CDrawObj* CDrawObj::Clone(CKVDoc* doc)
{
    auto* obj = static_cast<CDrawObj*>(GetRuntimeClass()->CreateObject());
    obj->m_position = m_position;
    obj->CopyFrom(this);
    if (doc) doc->AddObject(obj);
    return obj;
}

void CDrawObj::Rotate(int q, int cx, int cy, const CRect* newLabel)
{
    q = ((q % 4) + 4) % 4;
    const CRect p = m_position;
    switch (q) {
    case 1:
        m_position = CRect(p.top + cx - cy, cy + cx - p.right, p.bottom + cx - cy, cy + cx - p.left);
        break;
    case 2:
        m_position = CRect(2 * cx - p.right, 2 * cy - p.bottom, 2 * cx - p.left, 2 * cy - p.top);
        break;
    case 3:
        m_position = CRect(cx + cy - p.bottom, p.left + cy - cx, cx + cy - p.top, p.right + cy - cx);
        break;
    default:
        break;
    }
    m_nRotation = (m_nRotation + q) % 4;
    if (m_nRotation < 0) m_nRotation += 4;
    if (newLabel) {
        // The whole label is being turned: shift so that the old label lands
        // exactly on the new one. Turning there and back is then exact
        // whatever the parity of the label's sides, so positions do not creep
        // from one open and save to the next.
        const bool odd = (q % 2) == 1;
        const CRect oldLabel = odd ? CRect(0, 0, newLabel->Height(), newLabel->Width())
                                   : CRect(0, 0, newLabel->Width(), newLabel->Height());
        CRect turned;
        switch (q) {
        case 1:
            turned = CRect(oldLabel.top + cx - cy, cy + cx - oldLabel.right, oldLabel.bottom + cx - cy,
                           cy + cx - oldLabel.left);
            break;
        case 2:
            turned = CRect(2 * cx - oldLabel.right, 2 * cy - oldLabel.bottom, 2 * cx - oldLabel.left,
                           2 * cy - oldLabel.top);
            break;
        case 3:
            turned = CRect(cx + cy - oldLabel.bottom, oldLabel.left + cy - cx, cx + cy - oldLabel.top,
                           oldLabel.right + cy - cx);
            break;
        default:
            turned = oldLabel;
            break;
        }
        turned.NormalizeRect();
        m_position.NormalizeRect();
        m_position.OffsetRect(newLabel->left - turned.left, newLabel->top - turned.top);
    }
}

void CDrawObj::UpdateBounds()
{
    RecalcSize();
    if (m_pParent) m_pParent->UpdateBounds();
}

int CDrawObj::GetSerialMode()
{
    const int quantity = m_pDocument ? m_pDocument->m_format.GetQuantity() : 1;
    int result = SM_FIXED;
    // A serial counted by printed labels changes with every copy; no other
    // variable of the object may lower that classification, or the copies
    // would print one value.
    bool labelCounted = false;
    for (size_t i = 0; i < m_variables.size(); ++i) {
        const CVariable* v = m_variables[i];
        switch (v->m_nKind) {
        case VK_SERIAL:
            if (v->m_nCountBasis == 1) {
                labelCounted = true;
                if (quantity == 1) {
                    result = SM_PRINTER_COUNT;
                    m_nSerialStep = 1;
                } else {
                    result = SM_LABEL_SERIAL;
                }
            } else if (!labelCounted) {
                const int increment = v->PrinterSerialStep(v->PrinterSerialRows());
                if (result == SM_FIXED && i + 1 == m_variables.size() && v->m_nSerialType == 0 && increment > 0) {
                    m_nSerialStep = increment;
                    result = SM_PRINTER_COUNT;
                } else {
                    result = SM_PER_LABEL;
                }
            }
            break;
        case VK_DATABASE:
        case VK_SCRIPT:
            if (!labelCounted) result = quantity == 1 ? SM_FIXED : SM_PER_LABEL;
            break;
        default:
            break;
        }
    }
    return result;
}

void CDrawObj::AdaptToPrinter(CKVDoc*) {}

void CDrawObj::RecalcSize() {}

void CDrawObj::Refresh()
{
    Invalidate(nullptr);
    RecalcSize();
    Invalidate(nullptr);
}

std::string CDrawObj::GetText()
{
    std::string text;
    for (CVariable* v : m_variables) text += v->GetValue(nullptr, this);
    return text.empty() ? std::string(" ") : text;
}

std::string CDrawObj::GetLabelText(CLabelPos* pos)
{
    std::string text;
    for (CVariable* v : m_variables) text += v->GetValue(pos, this);
    return text;
}

CPoint CDrawObj::GetHandle(int handle, int dx, int dy) const
{
    const CRect& r = m_position;
    int x = 0, y = 0;
    switch (handle) {
    case 1: case 7: case 8: x = r.left - dx; break;
    case 2: case 6: x = r.left + (r.right - r.left) / 2; break;
    default: x = r.right + dx; break;
    }
    switch (handle) {
    case 1: case 2: case 3: y = r.top - dy; break;
    case 4: case 8: y = r.top + (r.bottom - r.top) / 2; break;
    default: y = r.bottom + dy; break;
    }
    return CPoint(x, y);
}

CRect CDrawObj::GetHandleRect(int handle, CKVView* view) const
{
    const CPoint c = GetHandle(handle, 3, 3);
    const int half = view ? view->PixelsToUnits(3) : DotsToUnitsAt(3, 96);
    return CRect(c.x - half, c.y - half, c.x + half, c.y + half);
}

int CDrawObj::GetHandleCount() const { return 8; }

BOOL CDrawObj::Intersects(const CRect& r) const
{
    CRect out;
    return out.IntersectRect(m_position.Normalized(), r.Normalized());
}

bool CDrawObj::MoveRectHandle(CRect& r, int handle, CPoint pt)
{
    switch (handle) {
    case 1: r.left = pt.x; r.top = pt.y; return true;
    case 2: r.top = pt.y; return true;
    case 3: r.right = pt.x; r.top = pt.y; return true;
    case 4: r.right = pt.x; return true;
    case 5: r.right = pt.x; r.bottom = pt.y; return true;
    case 6: r.bottom = pt.y; return true;
    case 7: r.left = pt.x; r.bottom = pt.y; return true;
    case 8: r.left = pt.x; return true;
    default: return false;
    }
}

void CDrawObj::MoveHandleTo(int handle, CPoint pt, CKVView* view)
{
    CRect r = m_position;
    if (MoveRectHandle(r, handle, pt)) MoveTo(r, view);
}

void CDrawObj::MoveTo(const CRect& r, CKVView* view)
{
    if (r == m_position || IsLocked()) return;
    Invalidate(view);
    m_position = r;
    Invalidate(view);
}

int CDrawObj::GetHandleCursor(int handle) const
{
    switch (handle) {
    case 2: case 6: return CURSOR_SIZENS;
    case 3: case 7: return CURSOR_SIZENESW;
    case 4: case 8: return CURSOR_SIZEWE;
    default: return CURSOR_SIZENWSE;
    }
}

void CDrawObj::OnOpen(CKVView* view)
{
    if (view) view->OpenProperties(this);
}

int CDrawObj::HitTest(CPoint pt, CKVView* view, BOOL selected)
{
    if (IsNonPrinting() && NonPrintObjectsUnselectable()) return 0;
    if (selected) {
        const int n = GetHandleCount();
        for (int h = 1; h <= n; ++h)
            if (GetHandleRect(h, view).PtInRect(pt)) return h;
        return 0;
    }
    return m_position.Normalized().PtInRect(pt) ? 1 : 0;
}

void CDrawObj::CopyFrom(const CDrawObj* src)
{
    if (!src || src == this) return;
    m_nID = src->m_nID;
    m_nType = src->m_nType;
    m_dwFlags = src->m_dwFlags;
    m_position = src->m_position;
    m_pDocument = src->m_pDocument;
    m_nRotation = src->m_nRotation;
    m_nBackground = src->m_nBackground;
    m_strComment = src->m_strComment;
    m_nReserved = src->m_nReserved;
    m_properties.Clear();
    m_properties = src->m_properties;
}

BOOL CDrawObj::IsEqual(const CDrawObj* o) const
{
    if (o == this) return TRUE;
    if (!o) return FALSE;
    return m_nType == o->m_nType && m_dwFlags == o->m_dwFlags && m_position == o->m_position &&
           m_pDocument == o->m_pDocument && m_nRotation == o->m_nRotation && m_nBackground == o->m_nBackground &&
           m_strComment == o->m_strComment && m_nReserved == o->m_nReserved &&
           m_properties.IsEqual(o->m_properties);
}

void CDrawObj::AddVariable(CVariable* var)
{
    if (!var) return;
    m_variables.push_back(var);
    var->AttachUser(this);
}

void CDrawObj::RemoveVariable(CVariable* var)
{
    const auto it = std::find(m_variables.begin(), m_variables.end(), var);
    if (it != m_variables.end()) m_variables.erase(it);
    // An object may list one variable more than once; it stays a user (and
    // the variable stays alive) until its last reference goes.
    if (var && std::find(m_variables.begin(), m_variables.end(), var) == m_variables.end()) var->DetachUser(this);
}

void CDrawObj::Remove()
{
    // Detach from every variable (the last user of a variable deletes it),
    // then destroy.
    while (!m_variables.empty()) RemoveVariable(m_variables.back());
    delete this;
}

BOOL CDrawObj::IsInside(const CRect& r) const
{
    CRect out;
    const CRect pos = m_position.Normalized();
    out.IntersectRect(pos, r.Normalized());
    return out == pos;
}

int CDrawObj::FormatDpiX() const { return m_pDocument ? m_pDocument->m_format.m_nHDpi : 600; }

int CDrawObj::FormatDpiY() const { return m_pDocument ? m_pDocument->m_format.m_nVDpi : 600; }

void CDrawObj::DotsToUnits(CSize* size) const
{
    const int dpi = FormatDpiX();
    size->cx = DotsToUnitsAt(size->cx, dpi);
    size->cy = DotsToUnitsAt(size->cy, dpi);
}

void CDrawObj::RectDotsToUnits(CRect* r) const
{
    const int dpi = FormatDpiX();
    r->left = DotsToUnitsAt(r->left, dpi);
    r->top = DotsToUnitsAt(r->top, dpi);
    r->right = DotsToUnitsAt(r->right, dpi);
    r->bottom = DotsToUnitsAt(r->bottom, dpi);
}

std::string CDrawObj::CommentFirstLine() const { return m_strComment.substr(0, m_strComment.find('\r')); }

void CDrawObj::Invalidate(CKVView* view)
{
    if (view)
        view->InvalObj(this);
    else if (m_pDocument)
        m_pDocument->InvalidateObject(this);
}

CDrawObj* CDrawObj::CloneInto(CDrawObj* copy, CKVDoc* doc) const
{
    copy->CopyFrom(this);
    if (doc) doc->AddObject(copy);
    return copy;
}
