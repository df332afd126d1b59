#pragma once
// The alignment marks a graphics page carries when the label format asks
// for them (property 262): corner marks around each label, targets on its
// centre lines, split marks between the blocks of the sheet and targets on
// the blocks' centre lines. Distances are label units, drawn with the black
// pen at the device's resolution.
#include <vector>

#include "platform/geometry.h"
#include "print/print_options.h"

class CDC;
class CLabelFormat;

// Mark sizes in label units.
inline constexpr int kMarkInnerRadius = 100;
inline constexpr int kMarkOuterRadius = 175;
inline constexpr int kMarkArm = 300;

// Converts label units on the page to the device's dots.
struct CMarkDevice {
    CDC* dc = nullptr;
    int dpiX = 600;
    int dpiY = 600;
    int offsetX = 0;  // physical offsets of the printable area, dots
    int offsetY = 0;
    CPoint ToDots(CPoint units) const;
};

// The marks of one label whose rectangle on the page is label (units).
void DrawLabelMarks(const CMarkDevice& device, const CAlignMarks& marks, const CRect& label);

// The rectangles (units) the blocks of the sheet cover, row of blocks by
// row, each the union of its labels; the whole sheet is one block when
// blocks are off. blockRows and blockColumns receive the grid's size.
std::vector<CRect> SheetBlocks(const CLabelFormat& format, int* blockRows, int* blockColumns);

// The marks drawn after the labels of a page: split marks at the blocks'
// corners and targets on their centre lines.
void DrawBlockMarks(const CMarkDevice& device, const CAlignMarks& marks, const CLabelFormat& format);
