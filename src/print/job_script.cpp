#include "print/job_script.h"

#include "data/script_host.h"
#include "model/document.h"

CJobScriptHost::CJobScriptHost() = default;

CJobScriptHost::~CJobScriptHost() { EndJob(); }

bool CJobScriptHost::BeginJob(CKVDoc& doc, int startNo, bool printing, int& labels)
{
    EndJob();
    m_errors.clear();
    CScriptSettings settings = CScriptSettings::FromAppSettings();
    if (m_forced) settings.enabled = true;
    if (!ScriptingOnForJob(settings, doc.m_variables)) return false;
    auto host = std::make_shared<CScriptHost>();
    host->SetSettings(settings);
    if (!host->BeginJob(doc.GetScriptContext(), doc.m_variables, startNo, !printing, labels)) {
        m_errors = host->GetErrors();
        return false;
    }
    m_host = host;
    m_pDocument = &doc;
    doc.m_scriptEvaluator = host;
    return true;
}

void CJobScriptHost::BeginLabel(int page, int row, int column, int copies, const CLabelPos& pos)
{
    if (m_host && m_pDocument) m_host->BeginLabel(page, row, column, copies, pos, m_pDocument->m_variables);
}

void CJobScriptHost::EndLabel()
{
    if (m_host) m_host->EndLabel();
}

void CJobScriptHost::EndJob()
{
    if (!m_host) return;
    m_host->EndJob();
    m_errors = m_host->GetErrors();
    if (m_pDocument && m_pDocument->m_scriptEvaluator == m_host) m_pDocument->m_scriptEvaluator.reset();
    m_host.reset();
    m_pDocument = nullptr;
}
