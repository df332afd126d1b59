#include "model/drawgroup.h"

#include "model/document.h"

KV_IMPLEMENT_SERIAL(CDrawGroup, CDrawObj, 0)

CDrawGroup::CDrawGroup() { m_nType = OBJ_GROUP; }

CDrawGroup::~CDrawGroup()
{
    std::vector<CDrawObj*> children;
    children.swap(m_children);
    for (CDrawObj* child : children) child->Remove();
}

void CDrawGroup::Serialize(CArchive& ar)
{
    CDrawObj::Serialize(ar);
    if (ar.IsStoring()) {
        ar.WriteObjectList(m_children);
    } else {
        ar.ReadObjectList(m_children, KV_RUNTIME_CLASS(CDrawObj));
        for (CDrawObj* child : m_children) child->m_pParent = this;
    }
}

CDrawObj* CDrawGroup::Clone(CKVDoc* doc)
{
    auto* group = new CDrawGroup;
    group->m_position = m_position;
    group->CopyFrom(this);
    if (doc) doc->AddObject(group);
    return group;
}

void CDrawGroup::CopyFrom(const CDrawObj* src)
{
    CDrawObj::CopyFrom(src);
    const auto* s = dynamic_cast<const CDrawGroup*>(src);
    if (!s || s == this) return;
    if (!m_children.empty()) {
        const size_t n = std::min(m_children.size(), s->m_children.size());
        for (size_t i = 0; i < n; ++i) m_children[i]->CopyFrom(s->m_children[i]);
        return;
    }
    for (CDrawObj* child : s->m_children) {
        CDrawObj* copy = child->Clone(nullptr);
        copy->m_pParent = this;
        m_children.push_back(copy);
    }
}

BOOL CDrawGroup::IsEqual(const CDrawObj* other) const
{
    if (other == this) return TRUE;
    const auto* o = dynamic_cast<const CDrawGroup*>(other);
    if (!o || !CDrawObj::IsEqual(other) || m_children.size() != o->m_children.size()) return FALSE;
    for (size_t i = 0; i < m_children.size(); ++i)
        if (m_children[i] != o->m_children[i]) return FALSE;
    return TRUE;
}

void CDrawGroup::MoveTo(const CRect& r, CKVView* view)
{
    if (r == m_position || IsLocked()) return;
    const int dx = r.left - m_position.left;
    const int dy = r.top - m_position.top;
    Invalidate(view);
    m_position.OffsetRect(dx, dy);
    for (CDrawObj* child : m_children) {
        CRect moved = child->m_position;
        moved.OffsetRect(dx, dy);
        child->MoveTo(moved, view);
    }
    Invalidate(view);
}

void CDrawGroup::Rotate(int q, int cx, int cy, const CRect* newLabel)
{
    for (CDrawObj* child : m_children) child->Rotate(q, cx, cy, newLabel);
    CDrawObj::Rotate(q, cx, cy, newLabel);
}

void CDrawGroup::UnionChildren()
{
    if (m_children.empty()) return;
    CRect u = m_children.front()->m_position;
    for (CDrawObj* child : m_children) u.UnionRect(u, child->m_position);
    m_position = u;
}

void CDrawGroup::RecalcSize()
{
    for (CDrawObj* child : m_children) child->RecalcSize();
    UnionChildren();
}

void CDrawGroup::AdaptToPrinter(CKVDoc* doc)
{
    for (CDrawObj* child : m_children) child->AdaptToPrinter(doc);
    UnionChildren();
}

void CDrawGroup::UpdateBounds()
{
    UnionChildren();
    if (m_pParent) m_pParent->UpdateBounds();
}

int CDrawGroup::HitTest(CPoint, CKVView*, BOOL) { return 0; }

void CDrawGroup::AddChild(CDrawObj* child)
{
    child->m_pParent = this;
    m_children.push_back(child);
}

void CDrawGroup::CollectDescendants(std::vector<CDrawObj*>& out) const
{
    for (CDrawObj* child : m_children) {
        out.push_back(child);
        if (const auto* g = dynamic_cast<const CDrawGroup*>(child)) g->CollectDescendants(out);
    }
}
