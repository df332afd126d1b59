// Raw jobs through libcups, and the wait for their completed state.
#include <algorithm>
#include <chrono>
#include <cups/cups.h>
#include <thread>

#include "platform/codepage.h"
#include "platform/spooler_job.h"
#include "platform/strutil.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string LastError() { return cupsLastErrorString() ? cupsLastErrorString() : "unknown error"; }

struct Attributes {
    int state = 0;
    std::string message;  // what the scheduler or its backend last said
    std::string reasons;
    bool ok = false;
};

std::string Reasons(ipp_attribute_t* a)
{
    std::string out;
    for (int i = 0; a && i < ippGetCount(a); ++i) {
        const char* r = ippGetString(a, i, nullptr);
        if (!r || !std::string_view(r).compare("none")) continue;
        out += (out.empty() ? "" : ", ") + std::string(r);
    }
    return out;
}

Attributes Ask(ipp_op_t op, const char* uriName, const std::string& uri, const char* stateName, const char* messageName,
               const char* reasonsName)
{
    Attributes result;
    ipp_t* request = ippNewRequest(op);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, uriName, nullptr, uri.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    const char* wanted[] = {stateName, messageName, reasonsName};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 3, nullptr, wanted);
    ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
    if (!response) return result;
    if (ippGetStatusCode(response) <= IPP_STATUS_OK_CONFLICTING) {
        result.ok = true;
        if (ipp_attribute_t* a = ippFindAttribute(response, stateName, IPP_TAG_ENUM)) result.state = ippGetInteger(a, 0);
        if (ipp_attribute_t* a = ippFindAttribute(response, messageName, IPP_TAG_TEXT))
            result.message = ippGetString(a, 0, nullptr) ? ippGetString(a, 0, nullptr) : "";
        result.reasons = Reasons(ippFindAttribute(response, reasonsName, IPP_TAG_KEYWORD));
    }
    ippDelete(response);
    return result;
}

Attributes JobState(int id)
{
    return Ask(IPP_OP_GET_JOB_ATTRIBUTES, "job-uri", StrFormat("ipp://localhost/jobs/%d", id), "job-state",
               "job-printer-state-message", "job-state-reasons");
}

Attributes PrinterState(const std::string& printer)
{
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", 0, "/printers/%s",
                     printer.c_str());
    return Ask(IPP_OP_GET_PRINTER_ATTRIBUTES, "printer-uri", uri, "printer-state", "printer-state-message",
               "printer-state-reasons");
}

std::string Explain(const Attributes& job, const Attributes& printer)
{
    std::string text;
    for (const std::string& s : {job.message, printer.message, job.reasons})
        if (!s.empty() && text.find(s) == std::string::npos) text += (text.empty() ? "" : "; ") + s;
    return text;
}

std::string WithWhy(const std::string& what, const std::string& why)
{
    return why.empty() ? what : what + " (" + Utf8ToAnsi(why) + ")";
}

}  // namespace

CSpoolerJob::~CSpoolerJob()
{
    if (m_started) Cancel();
}

bool CSpoolerJob::Start(const std::string& printer, const std::string& title, std::string* error)
{
    m_printer = AnsiToUtf8(printer);
    const std::string name = AnsiToUtf8(title);
    m_id = cupsCreateJob(CUPS_HTTP_DEFAULT, m_printer.c_str(), name.c_str(), 0, nullptr);
    if (m_id <= 0) {
        if (error) *error = "the spooler refused the job: " + Utf8ToAnsi(LastError());
        m_id = 0;
        return false;
    }
    if (cupsStartDocument(CUPS_HTTP_DEFAULT, m_printer.c_str(), m_id, name.c_str(), CUPS_FORMAT_RAW, 1) !=
        HTTP_STATUS_CONTINUE) {
        if (error) *error = "the spooler refused the document: " + Utf8ToAnsi(LastError());
        cupsCancelJob2(CUPS_HTTP_DEFAULT, m_printer.c_str(), m_id, 0);
        return false;
    }
    m_started = true;
    m_bytes = 0;
    return true;
}

bool CSpoolerJob::Write(const void* data, size_t n, std::string* error)
{
    if (!m_started) {
        if (error) *error = "no document is open";
        return false;
    }
    if (n == 0) return true;
    if (cupsWriteRequestData(CUPS_HTTP_DEFAULT, static_cast<const char*>(data), n) != HTTP_STATUS_CONTINUE) {
        if (error) *error = "the spooler did not take the bytes: " + Utf8ToAnsi(LastError());
        return false;
    }
    m_bytes += n;
    return true;
}

bool CSpoolerJob::End(std::string* error)
{
    if (!m_started) return true;
    if (m_bytes == 0) {
        Cancel(true);
        m_id = 0;
        return true;
    }
    m_started = false;
    if (cupsFinishDocument(CUPS_HTTP_DEFAULT, m_printer.c_str()) > IPP_STATUS_OK_CONFLICTING) {
        if (error) *error = "the spooler did not accept the document: " + Utf8ToAnsi(LastError());
        cupsCancelJob2(CUPS_HTTP_DEFAULT, m_printer.c_str(), m_id, 0);
        return false;
    }
    return true;
}

void CSpoolerJob::Cancel(bool purge)
{
    if (m_started) {
        // Ends the request so the connection can carry the cancel.
        cupsFinishDocument(CUPS_HTTP_DEFAULT, m_printer.c_str());
        m_started = false;
    }
    if (m_id > 0) cupsCancelJob2(CUPS_HTTP_DEFAULT, m_printer.c_str(), m_id, purge ? 1 : 0);
}

SpoolerJobResult WaitForSpoolerJob(const std::string& printer, int jobId, int timeoutMs, std::string* detail,
                                   const std::function<bool()>& cancelled)
{
    const std::string name = AnsiToUtf8(printer);
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    auto give_up = [&](SpoolerJobResult result, const std::string& text) {
        cupsCancelJob2(CUPS_HTTP_DEFAULT, name.c_str(), jobId, 0);
        if (detail) *detail = text;
        return result;
    };
    int pause = 20;
    while (true) {
        const Attributes job = JobState(jobId);
        if (!job.ok) {
            if (detail) *detail = "the spooler no longer knows the job: " + Utf8ToAnsi(LastError());
            return SpoolerJobResult::Failed;
        }
        switch (job.state) {
        case IPP_JSTATE_COMPLETED: return SpoolerJobResult::Completed;
        case IPP_JSTATE_CANCELED:
            if (detail) *detail = WithWhy("the job was cancelled", Explain(job, {}));
            return SpoolerJobResult::Failed;
        case IPP_JSTATE_ABORTED:
            if (detail) *detail = WithWhy("the job was aborted", Explain(job, PrinterState(name)));
            return SpoolerJobResult::Failed;
        case IPP_JSTATE_STOPPED:
            return give_up(SpoolerJobResult::Failed, WithWhy("the job was stopped", Explain(job, PrinterState(name))));
        default: break;
        }
        const Attributes p = PrinterState(name);
        if (p.ok && p.state == IPP_PSTATE_STOPPED)
            return give_up(SpoolerJobResult::Failed, WithWhy("the printer is stopped", Explain(job, p)));
        if (cancelled && cancelled()) return give_up(SpoolerJobResult::Cancelled, "cancelled");
        if (Clock::now() >= deadline)
            return give_up(SpoolerJobResult::TimedOut,
                           WithWhy(StrFormat("the job did not complete within %.1f s", timeoutMs / 1000.0),
                                   Explain(job, p)));
        std::this_thread::sleep_for(std::chrono::milliseconds(pause));
        pause = std::min(pause * 2, 200);
    }
}

void CancelSpoolerJob(const std::string& printer, int jobId)
{
    cupsCancelJob2(CUPS_HTTP_DEFAULT, AnsiToUtf8(printer).c_str(), jobId, 0);
}

std::string SpoolerPortName(const std::string& printer)
{
    const std::string name = AnsiToUtf8(printer);
    cups_dest_t* d = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.c_str(), nullptr);
    if (!d) return std::string();
    const char* uri = cupsGetOption("device-uri", d->num_options, d->options);
    const std::string out = Utf8ToAnsi(uri ? uri : "");
    cupsFreeDests(1, d);
    return out;
}

int NewestSpoolerJob(const std::string& printer)
{
    cups_job_t* jobs = nullptr;
    const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, AnsiToUtf8(printer).c_str(), 0, CUPS_WHICHJOBS_ALL);
    int newest = 0;
    for (int i = 0; i < n; ++i) newest = std::max(newest, jobs[i].id);
    cupsFreeJobs(n, jobs);
    return newest;
}

std::vector<int> SpoolerJobsAfter(const std::string& printer, int afterId, const std::string& title)
{
    cups_job_t* jobs = nullptr;
    const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, AnsiToUtf8(printer).c_str(), 0, CUPS_WHICHJOBS_ALL);
    const std::string wanted = AnsiToUtf8(title);
    std::vector<int> out;
    for (int i = 0; i < n; ++i)
        if (jobs[i].id > afterId && jobs[i].title && wanted == jobs[i].title) out.push_back(jobs[i].id);
    cupsFreeJobs(n, jobs);
    std::sort(out.begin(), out.end());
    return out;
}
