#pragma once
// What label objects and the document need from an editing view: repaint
// requests, the view's selection, its zoom. The editing view implements it.
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

    // Zoom in percent and the screen's logical resolution.
    virtual int GetZoom() const { return 100; }
    virtual int GetScreenDpi() const { return 96; }
    // Screen pixels at the current zoom in label units.
    int PixelsToUnits(int pixels) const;
    int UnitsToPixels(int units) const;
};
