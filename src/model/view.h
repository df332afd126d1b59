#pragma once
// What label objects and the document need from an editing view: repaint
// requests, the view's selection, its zoom. The editing view implements it.
#include <vector>

#include "platform/geometry.h"

class CDrawObj;

class CKVView {
public:
    virtual ~CKVView() = default;

    // Repaints the area of a rectangle given in label units.
    virtual void InvalidateLabelRect(const CRect& labelRect) { (void)labelRect; }
    // Repaints an object's area (with room for its handles and tags).
    virtual void InvalObj(CDrawObj* obj);
    // The object is leaving the document: drop it from the selection.
    virtual void OnObjectRemoved(CDrawObj* obj) { (void)obj; }
    virtual bool IsSelected(const CDrawObj* obj) const { (void)obj; return false; }
    // The first object of the selection (the reference for alignment).
    virtual const CDrawObj* GetMasterObject() const { return nullptr; }
    // Opens the object's property sheet.
    virtual void OpenProperties(CDrawObj* obj) { (void)obj; }
    // The drawing tool in use: 0 select, 1 line, 2 rectangle, 3 barcode,
    // 4 picture, 5 text, 6 zoom in, 7 zoom out, 8 data, 9 oblique line.
    virtual int GetCurrentTool() const { return 0; }

    // Zoom in percent and the screen's logical resolution.
    virtual int GetZoom() const { return 100; }
    virtual int GetScreenDpi() const { return 96; }
    // Pixel position of the label's origin in the view.
    virtual CPoint GetLabelOffset() const { return CPoint(); }
    // Screen pixels at the current zoom in label units.
    int PixelsToUnits(int pixels) const;
    int UnitsToPixels(int units) const;

    // Label units to view pixels (each axis with the screen's resolution and
    // the zoom, plus the label offset); a rectangle is converted corner by
    // corner and normalised; a size without the offset.
    CPoint DocToClient(CPoint p) const;
    CRect DocToClient(const CRect& r) const;
    CSize DocToClient(CSize s) const;
    // View pixels back to label units.
    CPoint ClientToDoc(CPoint p) const;
};

// A view with a fixed zoom, resolution and label offset: what the command
// line and tests draw through.
class CFixedView : public CKVView {
public:
    explicit CFixedView(int zoom = 100, int dpi = 96, CPoint offset = CPoint()) : m_zoom(zoom), m_dpi(dpi), m_offset(offset) {}
    int GetZoom() const override { return m_zoom; }
    int GetScreenDpi() const override { return m_dpi; }
    CPoint GetLabelOffset() const override { return m_offset; }
    bool IsSelected(const CDrawObj* obj) const override;
    const CDrawObj* GetMasterObject() const override { return m_selection.empty() ? nullptr : m_selection.front(); }

    int m_zoom;
    int m_dpi;
    CPoint m_offset;
    std::vector<const CDrawObj*> m_selection;  // the first is the master object
};
