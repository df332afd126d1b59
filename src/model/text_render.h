#pragma once
// The text renderer shared by text and barcode objects: one line of text in
// a box, along the direction of the object's rotation, aligned, fitted or
// docked, mirrored through a monochrome bitmap when the object is mirrored;
// and the placement of characters along an arc.
#include <string>
#include <vector>

#include "platform/dc.h"
#include "platform/font.h"
#include "platform/geometry.h"

class CPrinterFontTable;

// Alignment modes of one line of text in its box.
enum TextMode : int {
    TEXT_MODE_LEFT = 0,
    TEXT_MODE_RIGHT = 1,
    TEXT_MODE_CENTER = 2,
    TEXT_MODE_FULL = 3,  // the text is fitted into the box
};

// Where a fully aligned text that is shorter than its box sits.
enum TextDock : int {
    TEXT_DOCK_ADJUST = 0,  // the spare space is spread between the characters
    TEXT_DOCK_LEFT = 1,
    TEXT_DOCK_CENTER = 2,
    TEXT_DOCK_RIGHT = 3,
};

// What the renderer needs to know about the object being drawn.
struct TextDrawContext {
    const CPrinterFontTable* fonts = nullptr;  // the document's table; null: Windows fonts only
    int scale = 100;                           // percent: the view's zoom, 100 elsewhere
    int rotation = 0;                          // quarter turns counter-clockwise
    int mirror = 0;                            // 0 none, 1 horizontal, 2 vertical
    bool transparent = true;                   // white pixels of a mirrored bitmap are not copied
    int charExtra = 0;                         // extra space after each character, target units
};

// The drawing font of a description (lfHeight in hundredths of a point,
// lfWidth the stretch) for dc, through the table when there is one.
CFont CreateTextFont(const TextDrawContext& ctx, const LOGFONT& description, const CDC* dc);

// Draws text in box (logical units of dc) with the dc's text colour. The
// text runs from the box's left (rotation 0), bottom (1), right (2) or top
// (3) edge; the font description's escapement should be rotation x 900.
// Full alignment narrows a text that is too long and spreads or docks one
// that is too short; the other modes place the text at the start, end or
// centre of the box.
void DrawTextString(CDC* dc, const std::string& text, const LOGFONT& description, const CRect& box, int mode,
                    int dock, const TextDrawContext& ctx);

// One character of an arc layout.
struct ArcChar {
    double angle = 0;    // degrees, counter-clockwise from the 9 o'clock position
    int escapement = 0;  // tenths of a degree
};

// Angles of n characters along an arc: start angle and sweep in degrees
// (a sweep of 0 is a full circle), direction 1 counter-clockwise, else
// clockwise; orientation 1 puts the character tops away from the centre.
// rotation adds a quarter turn each.
std::vector<ArcChar> ArcCharacterAngles(int n, int startAngle, int sweep, int direction, int orientation,
                                        int rotation);

// Draws text along a circle of the given radius (target units) around the
// centre of box, one character at a time, each centred on its angle; the
// glyphs fill the ring from the radius to the radius plus the text height.
void DrawArcText(CDC* dc, const std::string& text, const LOGFONT& description, const CRect& box, int radius,
                 int startAngle, int sweep, int direction, int orientation, const TextDrawContext& ctx);
