#include "print/page_targets.h"

#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

#include "model/drawobj.h"
#include "platform/codepage.h"
#include "platform/dc.h"
#include "platform/spooler_job.h"
#include "platform/strutil.h"
#include "print/print_port.h"

namespace {

// A page of the label's paper: the size as a portrait paper, turned when
// the page is wider than high, without margins.
QPageLayout LabelPageLayout(CSize units)
{
    const double w = units.cx / 100.0, h = units.cy / 100.0;
    const QPageSize size(QSizeF(std::min(w, h), std::max(w, h)), QPageSize::Millimeter, QString(),
                         QPageSize::ExactMatch);
    return QPageLayout(size, w > h ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(0, 0, 0, 0));
}

std::uint64_t FileSize(const std::string& path)
{
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? std::uint64_t(st.st_size) : 0;
}

}  // namespace

// ---- PDF ---------------------------------------------------------------------

CPdfPageTarget::CPdfPageTarget(std::string path, std::string title, bool colour)
    : m_strPath(std::move(path)), m_strTitle(std::move(title)), m_bColour(colour)
{
}

CPdfPageTarget::~CPdfPageTarget() { Abandon(); }

bool CPdfPageTarget::Open(CSize pageUnits, int dpiX, int dpiY)
{
    m_strTemp = m_strPath + StrFormat(".%d.part", int(getpid()));
    m_writer = std::make_unique<QPdfWriter>(QString::fromStdString(m_strTemp));
    m_writer->setResolution(dpiY);
    m_writer->setCreator("Korvane");
    m_writer->setTitle(QString::fromStdString(AnsiToUtf8(m_strTitle)));
    m_writer->setPageLayout(LabelPageLayout(pageUnits));
    m_dpiX = dpiX;
    m_dpiY = dpiY;
    m_pageDots = CSize(UnitsToDots(pageUnits.cx, dpiX), UnitsToDots(pageUnits.cy, dpiY));
    if (!m_painter.begin(m_writer.get())) {
        m_writer.reset();
        std::remove(m_strTemp.c_str());
        m_strError = "cannot write " + m_strPath;
        return false;
    }
    // The writer's coordinates are dots of its one resolution; a label of
    // two resolutions is drawn at the horizontal one stretched.
    if (dpiX != dpiY) m_painter.scale(double(dpiY) / dpiX, 1.0);
    return true;
}

CDC* CPdfPageTarget::BeginPage(int page)
{
    if (!m_painter.isActive()) return nullptr;
    if (page > 1 && !m_writer->newPage()) {
        m_strError = "cannot add a page to " + m_strPath;
        return nullptr;
    }
    m_dc = CDC::CreateOnPainter(&m_painter, m_pageDots.cx, m_pageDots.cy, m_dpiX, m_dpiY, m_bColour);
    return m_dc.get();
}

bool CPdfPageTarget::Finish()
{
    m_dc.reset();
    if (!m_painter.isActive()) return false;
    m_painter.end();
    m_writer.reset();
    // A full disk shows as a file shorter than what was written: the
    // writer flushes its last page, the trailer, when it ends.
    QFile check(QString::fromStdString(m_strTemp));
    if (!check.exists() || check.size() < 64) {
        std::remove(m_strTemp.c_str());
        m_strError = "cannot write " + m_strPath;
        return false;
    }
    if (std::rename(m_strTemp.c_str(), m_strPath.c_str()) != 0) {
        std::remove(m_strTemp.c_str());
        m_strError = "cannot write " + m_strPath;
        return false;
    }
    m_nBytes = FileSize(m_strPath);
    return true;
}

void CPdfPageTarget::Abandon()
{
    m_dc.reset();
    if (m_painter.isActive()) m_painter.end();
    if (m_writer) {
        m_writer.reset();
        std::remove(m_strTemp.c_str());
    }
}

// ---- PNG ---------------------------------------------------------------------

CPngPageTarget::CPngPageTarget(std::string pattern, int pages, bool colour)
    : m_strPattern(std::move(pattern)), m_nPages(pages), m_bColour(colour)
{
}

CPngPageTarget::~CPngPageTarget() = default;

bool CPngPageTarget::CheckPattern(const std::string& pattern, std::string* error)
{
    int numbers = 0;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%') continue;
        if (i + 1 < pattern.size() && pattern[i + 1] == '%') {
            ++i;
        } else if (i + 1 < pattern.size() && pattern[i + 1] == 'd') {
            ++numbers;
            ++i;
        } else {
            if (error) *error = "the picture name may hold \"%d\" for the page number and \"%%\" for a \"%\", nothing else";
            return false;
        }
    }
    if (numbers > 1) {
        if (error) *error = "the picture name may hold \"%d\" only once";
        return false;
    }
    if (pattern.empty()) {
        if (error) *error = "the picture name is empty";
        return false;
    }
    return true;
}

std::string CPngPageTarget::FileName(int page) const
{
    std::string out;
    bool numbered = false;
    for (size_t i = 0; i < m_strPattern.size(); ++i) {
        if (m_strPattern[i] == '%' && i + 1 < m_strPattern.size()) {
            if (m_strPattern[i + 1] == 'd') {
                out += std::to_string(page);
                numbered = true;
            } else {
                out += '%';
            }
            ++i;
            continue;
        }
        out += m_strPattern[i];
    }
    if (numbered || m_nPages <= 1) return out;
    const size_t slash = out.find_last_of('/');
    const size_t dot = out.find_last_of('.');
    const size_t at = dot != std::string::npos && (slash == std::string::npos || dot > slash) ? dot : out.size();
    return out.substr(0, at) + "-" + std::to_string(page) + out.substr(at);
}

std::string CPngPageTarget::Where() const
{
    if (m_written.empty()) return FileName(1);
    if (m_written.size() == 1) return m_written.front();
    return m_written.front() + " ... " + m_written.back();
}

bool CPngPageTarget::Open(CSize pageUnits, int dpiX, int dpiY)
{
    m_dpiX = dpiX;
    m_dpiY = dpiY;
    m_pageDots = CSize(UnitsToDots(pageUnits.cx, dpiX), UnitsToDots(pageUnits.cy, dpiY));
    if (m_pageDots.cx <= 0 || m_pageDots.cy <= 0 ||
        (long long)m_pageDots.cx * m_pageDots.cy > 400LL * 1000 * 1000) {
        m_strError = StrFormat("a page of %d x %d dots is not a picture that can be made", m_pageDots.cx, m_pageDots.cy);
        return false;
    }
    return true;
}

CDC* CPngPageTarget::BeginPage(int page)
{
    m_nPage = page;
    m_dc = CDC::CreatePrinterPage(m_pageDots.cx, m_pageDots.cy, m_dpiX, m_dpiY, m_bColour);
    if (m_dc->GetImage().isNull()) {
        m_strError = "not enough memory for a page picture";
        m_dc.reset();
        return nullptr;
    }
    return m_dc.get();
}

bool CPngPageTarget::EndPage()
{
    if (!m_dc) return false;
    QImage image = m_dc->GetImage();
    image.setDotsPerMeterX(int(m_dpiX / 0.0254 + 0.5));
    image.setDotsPerMeterY(int(m_dpiY / 0.0254 + 0.5));
    const std::string name = FileName(m_nPage);
    const std::string temp = name + StrFormat(".%d.part", int(getpid()));
    m_dc.reset();
    if (!image.save(QString::fromStdString(temp), "PNG") || std::rename(temp.c_str(), name.c_str()) != 0) {
        std::remove(temp.c_str());
        m_strError = "cannot write " + name;
        return false;
    }
    m_written.push_back(name);
    m_nBytes += FileSize(name);
    return true;
}

void CPngPageTarget::Abandon()
{
    m_dc.reset();
    for (const std::string& f : m_written) std::remove(f.c_str());
    m_written.clear();
    m_nBytes = 0;
}

// ---- a printer of the system -------------------------------------------------

CPrinterPageTarget::CPrinterPageTarget(std::string printer, std::string title, bool colour, int timeLimitMs)
    : m_strPrinter(std::move(printer)), m_strTitle(std::move(title)), m_bColour(colour),
      m_nTimeLimitMs(timeLimitMs > 0 ? timeLimitMs : CPrintPort::kSpoolerTimeLimitMs)
{
}

CPrinterPageTarget::~CPrinterPageTarget() { Abandon(); }

bool CPrinterPageTarget::Open(CSize pageUnits, int dpiX, int dpiY)
{
    const QString name = QString::fromStdString(AnsiToUtf8(m_strPrinter));
    if (QPrinterInfo::printerInfo(name).isNull()) {
        m_strError = std::string(kPrinterFailedMessage) + " The system has no printer \"" + m_strPrinter + "\".";
        return false;
    }
    m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    m_printer->setPrinterName(name);
    m_printer->setOutputFormat(QPrinter::NativeFormat);
    m_printer->setDocName(QString::fromStdString(AnsiToUtf8(m_strTitle)));
    m_printer->setCreator("Korvane");
    m_printer->setFullPage(true);
    m_printer->setResolution(std::max(dpiX, dpiY));
    m_printer->setColorMode(m_bColour ? QPrinter::Color : QPrinter::GrayScale);
    m_printer->setPageLayout(LabelPageLayout(pageUnits));
    m_nLastJob = NewestSpoolerJob(m_strPrinter);
    if (!m_painter.begin(m_printer.get())) {
        m_strError = std::string(kPrinterFailedMessage) + " The printer \"" + m_strPrinter + "\" cannot start a job.";
        m_printer.reset();
        return false;
    }
    m_dpi = m_printer->resolution();
    m_pageDots = CSize(UnitsToDots(pageUnits.cx, m_dpi), UnitsToDots(pageUnits.cy, m_dpi));
    return true;
}

CDC* CPrinterPageTarget::BeginPage(int page)
{
    if (!m_painter.isActive()) return nullptr;
    if (page > 1 && !m_printer->newPage()) {
        m_strError = std::string(kPrinterFailedMessage) + " The printer \"" + m_strPrinter + "\" took no further page.";
        return nullptr;
    }
    m_dc = CDC::CreateOnPainter(&m_painter, m_pageDots.cx, m_pageDots.cy, m_dpi, m_dpi, m_bColour);
    return m_dc.get();
}

bool CPrinterPageTarget::Finish()
{
    m_dc.reset();
    if (!m_painter.isActive()) return false;
    // Ending the painter hands the job to the spooler.
    m_painter.end();
    const bool failed = m_printer->printerState() == QPrinter::Error;
    m_printer.reset();
    const std::vector<int> jobs = SpoolerJobsAfter(m_strPrinter, m_nLastJob, m_strTitle);
    if (failed || jobs.empty()) {
        m_strError = std::string(kPrinterFailedMessage) + " The printer \"" + m_strPrinter + "\" did not take the job.";
        return false;
    }
    std::string detail;
    const SpoolerJobResult r = WaitForSpoolerJob(m_strPrinter, jobs.back(), m_nTimeLimitMs, &detail);
    if (r != SpoolerJobResult::Completed) {
        m_strError = "printer \"" + m_strPrinter + StrFormat("\", job %d: ", jobs.back()) + detail;
        return false;
    }
    return true;
}

void CPrinterPageTarget::Abandon()
{
    m_dc.reset();
    if (m_printer) {
        m_printer->abort();
        if (m_painter.isActive()) m_painter.end();
        m_printer.reset();
    }
}
