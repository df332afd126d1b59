#pragma once
// The script events of a print job on a script host of the job's own: the
// host starts when scripting is on for the document ("EnableScript" and a
// Script variable; "forced" stands in for "EnableScript"), the document's Script variables take their values from
// it while the job runs, and it stops at the job's end.
#include <memory>
#include <string>
#include <vector>

#include "print/printdriver.h"

class CScriptHost;

class CJobScriptHost : public IJobScript {
public:
    CJobScriptHost();
    ~CJobScriptHost() override;
    bool BeginJob(CKVDoc& doc, int startNo, bool printing, int& labels) override;
    void BeginLabel(int page, int row, int column, int copies, const CLabelPos& pos) override;
    void EndLabel() override;
    void EndJob() override;
    // Run the scripts even when "EnableScript" is off (korvane print --scripts).
    void SetForced(bool forced) { m_forced = forced; }
    // The error texts the scripts of the last job met.
    const std::vector<std::string>& Errors() const { return m_errors; }

private:
    CKVDoc* m_pDocument = nullptr;
    std::shared_ptr<CScriptHost> m_host;
    std::vector<std::string> m_errors;
    bool m_forced = false;
};
