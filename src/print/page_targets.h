#pragma once
// The page targets of graphics printing: a PDF file (shapes and text kept as
// such), PNG pictures (one per page, at the label's resolution), and a
// printer of the system through the toolkit's printing, with the label's
// own paper size.
#include <QPainter>
#include <memory>
#include <string>
#include <vector>

#include "print/graphics_job.h"

class CDC;
class QPdfWriter;
class QPrinter;

// A PDF file, written under a temporary name and put in place when complete.
class CPdfPageTarget : public IPageTarget {
public:
    CPdfPageTarget(std::string path, std::string title, bool colour);
    ~CPdfPageTarget() override;
    bool Open(CSize pageUnits, int dpiX, int dpiY) override;
    CDC* BeginPage(int page) override;
    bool EndPage() override { return true; }
    bool Finish() override;
    void Abandon() override;
    const std::string& Error() const override { return m_strError; }
    std::string Where() const override { return m_strPath; }
    std::uint64_t Bytes() const override { return m_nBytes; }

private:
    std::string m_strPath, m_strTemp, m_strTitle, m_strError;
    bool m_bColour;
    std::unique_ptr<QPdfWriter> m_writer;
    QPainter m_painter;
    std::unique_ptr<CDC> m_dc;
    CSize m_pageDots;
    int m_dpiX = 0, m_dpiY = 0;
    std::uint64_t m_nBytes = 0;
};

// PNG pictures: the pattern's "%d" is the page number from 1; a pattern
// without it names the only page, or gets "-N" before its extension when
// there are several.
class CPngPageTarget : public IPageTarget {
public:
    CPngPageTarget(std::string pattern, int pages, bool colour);
    ~CPngPageTarget() override;
    bool Open(CSize pageUnits, int dpiX, int dpiY) override;
    CDC* BeginPage(int page) override;
    bool EndPage() override;
    bool Finish() override { return true; }
    void Abandon() override;
    const std::string& Error() const override { return m_strError; }
    std::string Where() const override;
    std::uint64_t Bytes() const override { return m_nBytes; }
    // The file of page p.
    std::string FileName(int page) const;
    // Whether a pattern can name pages: at most one "%d" and no other "%"
    // but "%%"; false with a reason.
    static bool CheckPattern(const std::string& pattern, std::string* error);

private:
    std::string m_strPattern, m_strError;
    int m_nPages;
    bool m_bColour;
    std::unique_ptr<CDC> m_dc;
    int m_nPage = 0;
    CSize m_pageDots;
    int m_dpiX = 0, m_dpiY = 0;
    std::vector<std::string> m_written;
    std::uint64_t m_nBytes = 0;
};

// A printer of the system (a CUPS queue) through the toolkit's printing:
// the label's paper as the page, no margins. Finish waits until the
// spooler reports the job completed.
class CPrinterPageTarget : public IPageTarget {
public:
    CPrinterPageTarget(std::string printer, std::string title, bool colour, int timeLimitMs);
    ~CPrinterPageTarget() override;
    bool Open(CSize pageUnits, int dpiX, int dpiY) override;
    CDC* BeginPage(int page) override;
    bool EndPage() override { return true; }
    bool Finish() override;
    void Abandon() override;
    const std::string& Error() const override { return m_strError; }
    std::string Where() const override { return "printer \"" + m_strPrinter + "\""; }

private:
    std::string m_strPrinter, m_strTitle, m_strError;
    bool m_bColour;
    int m_nTimeLimitMs;
    std::unique_ptr<QPrinter> m_printer;
    QPainter m_painter;
    std::unique_ptr<CDC> m_dc;
    CSize m_pageDots;
    int m_dpi = 0;
    int m_nLastJob = 0;
};
