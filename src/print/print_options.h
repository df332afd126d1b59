#pragma once
// The print options a label format keeps for the print engine, read from
// its properties: the copy-count field (258), the alignment marks (262),
// "&Auto track start label" (264) and the printed-labels counter (313); the
// page-number template; and the options that live only while the program
// runs.
#include <array>
#include <string>

class CLabelFormat;

// Property 258: "%d,%s,%d,%d,%d" = enabled, field name, column index,
// "Auto Set Database Record &Quantity", "Input first label &copy number on
// printing". Missing items read as 0 or empty.
struct CCopyField {
    bool enabled = false;
    std::string field;
    int column = 0;
    bool autoQuantity = false;
    bool inputFirst = false;
    bool operator==(const CCopyField&) const = default;
    static CCopyField Parse(const std::string& text);
    std::string Format() const;
};
// A record field gives each record's number of copies.
bool CopyFieldEnabled(const CLabelFormat& format);

// Property 262: thirteen integers separated by "|".
struct CAlignMarks {
    enum Item {
        ON = 0,
        TYPE = 1,  // 0 outline border, 1 block split, 2 both, 3 custom
        LABEL_OUTLINE = 2,
        BLOCK_SPLIT = 3,
        LABEL_HCENTER = 4,
        LABEL_HCENTER_DISTANCE = 5,
        LABEL_VCENTER = 6,
        LABEL_VCENTER_DISTANCE = 7,
        BLOCK_HCENTER = 8,
        BLOCK_HCENTER_DISTANCE = 9,
        BLOCK_VCENTER = 10,
        BLOCK_VCENTER_DISTANCE = 11,
        OUTLINE_DISTANCE = 12,
    };
    std::array<int, 13> items{0, 0, 0, 0, 0, 600, 0, 600, 0, 600, 0, 600, 0};
    bool operator==(const CAlignMarks&) const = default;
    static CAlignMarks Parse(const std::string& text);
    std::string Format() const;
    // What the type switches on: types 0 to 2 outline and split marks and
    // no centre marks, type 3 the items as stored; nothing when item 0 is off.
    bool LabelOutline() const;
    bool BlockSplit() const;
    bool LabelHCenter() const;
    bool LabelVCenter() const;
    bool BlockHCenter() const;
    bool BlockVCenter() const;
    // Any mark drawn after the labels of a page.
    bool AnyBlockMark() const { return BlockSplit() || BlockHCenter() || BlockVCenter(); }
    bool AnyLabelMark() const { return LabelOutline() || LabelHCenter() || LabelVCenter(); }
};

// Labels run "From Right To Left" across a row: label 0 sits at the right
// (start corner top-right or bottom-right).
bool RightToLeftOrder(const CLabelFormat& format);

// Whether the format tracks its start label between runs (property 264).
bool AutoTrackStartLabel(const CLabelFormat& format);
// The printed-labels counter (property 313, decimal).
long long PrintedLabelsCounter(const CLabelFormat& format);
void SetPrintedLabelsCounter(CLabelFormat& format, long long value);

// The start label a run tracked for the next one (property 265, decimal;
// -1 when none is kept). The designer keeps the start position in memory;
// a command-line run is a process of its own, so the tracked position
// travels with the document.
inline constexpr int kTrackedStartLabelProperty = 265;
int TrackedStartLabel(const CLabelFormat& format);
void SetTrackedStartLabel(CLabelFormat& format, int start);

// The option "&Print out non-print object": lives only while the program runs.
bool PrintsNonPrintObjects();
void SetPrintNonPrintObjects(bool on);

// Expands a page-number template: "&&" "&", "&D" today "%Y-%m-%d", "&T" now
// "%H:%M:%S", "&F" the title, "&H" the path, "&P" the page; "&" and any
// other letter nothing. A lone "&" at the end, or before a character that
// is not a letter, stays. Double-byte characters are copied whole.
std::string FormatPageNumber(const std::string& text, int page, const std::string& title, const std::string& path);
