#pragma once
// Graphics printing: the labels of a job drawn on pages, slot by slot by the
// label format's cell rules (rows, columns, order, start corner, blocks),
// after a start position on the first page and around excluded positions,
// with label outlines, alignment marks and page numbers. The pages go to a
// page target: a PDF file, PNG pictures, or a printer of the system.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/geometry.h"

class CDC;
class CKVDoc;
class CPrintDriver;

// Where the pages of a graphics job go.
class IPageTarget {
public:
    virtual ~IPageTarget() = default;
    // Opens the output for pages of width x height label units at dpi;
    // false with Error() when it cannot.
    virtual bool Open(CSize pageUnits, int dpiX, int dpiY) = 0;
    // The device to draw page p (from 1) on; null with Error() on failure.
    virtual CDC* BeginPage(int page) = 0;
    virtual bool EndPage() = 0;
    // Completes the output: every page written, or handed to the printer
    // and printed. false with Error() when something did not arrive.
    virtual bool Finish() = 0;
    // Drops what was written so far (after a failure or a cancel).
    virtual void Abandon() = 0;
    virtual const std::string& Error() const = 0;
    // Where the pages went, for the summary ("out.pdf", "printer \"Q\"").
    virtual std::string Where() const = 0;
    // Bytes written, when the target counts them.
    virtual std::uint64_t Bytes() const { return 0; }
};

// The page of a graphics job: the label format's paper; a roll (one row of
// labels on a paper as high as the label) is the row with its gap.
CSize GraphicsPageSize(const CKVDoc& doc);

class CGraphicsJob {
public:
    // After driver.BeginJob: the job's labels, the format's start position.
    CGraphicsJob(CKVDoc& doc, CPrintDriver& driver);

    // The usable slots of a page (excluded positions left out), in slot order.
    const std::vector<int>& UsableSlots() const { return m_usable; }
    // Pages the job takes; 0 when no slot can take a label.
    int PageCount() const;
    // Label number printed in slot s of page p (from 1); -1 when the slot
    // stays empty.
    int LabelInSlot(int page, int slot) const;
    // The start position after the job: the slot after the last one used.
    int NextStartPosition() const;

    // Draws page p into dc (a device of the target's resolution); counts
    // the labels for the progress when counted. False when an object
    // stopped the job or the user cancelled it.
    bool DrawPage(CDC* dc, int page, bool counted = true);
    // Every page, repeat times, into each target (page by page, the same
    // labels on all); progress and cancel through the driver's progress.
    // False with Error() on failure; the targets are then abandoned.
    bool Run(const std::vector<IPageTarget*>& targets, int repeat);
    const std::string& Error() const { return m_strError; }
    bool Cancelled() const { return m_bCancelled; }
    int PagesPrinted() const { return m_nPages; }

private:
    CKVDoc& m_doc;
    CPrintDriver& m_driver;
    std::vector<int> m_usable;
    std::vector<int> m_slotRank;  // slot -> rank among the usable slots, -1 when excluded
    int m_nStart = 0;             // start position (slot of the first page)
    int m_nFirstRank = 0;         // rank of the first usable slot at or after the start
    int m_nTotal = 0;
    std::string m_strError;
    bool m_bCancelled = false;
    int m_nPages = 0;
    int m_nLabelsDone = 0;
    int m_nRepeat = 1;
};
