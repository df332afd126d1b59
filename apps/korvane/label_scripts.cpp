#include "label_scripts.h"

#include <algorithm>

#include "data/script_host.h"
#include "model/document.h"

CLabelScripts::CLabelScripts(CKVDoc& doc, bool forced) : m_doc(doc)
{
    const CLabelFormat& f = doc.m_format;
    m_labels = f.GetQuantity();
    CScriptSettings settings = CScriptSettings::FromAppSettings();
    if (forced) settings.enabled = true;
    if (!ScriptingOnForJob(settings, doc.m_variables)) return;
    auto host = std::make_shared<CScriptHost>();
    host->SetSettings(settings);
    // A printer language counts labels itself from 1; a page starts at the start position.
    const int startNo = f.m_nLanguage != 0 ? 1 : f.m_nStartLabel + 1;
    if (!host->BeginJob(doc.GetScriptContext(), doc.m_variables, startNo, false, m_labels)) return;
    m_host = host;
    m_ran = true;
    doc.m_scriptEvaluator = host;
}

CLabelScripts::~CLabelScripts() { End(); }

void CLabelScripts::BeginLabel(const CLabelPos& pos)
{
    if (!m_host) return;
    const CLabelFormat& f = m_doc.m_format;
    const int perPage = std::max(1, f.GetLabelsPerPage());
    const int n = std::max(0, pos.m_nLabel + (f.m_nLanguage != 0 ? 0 : f.m_nStartLabel));
    const CPoint cell = f.GetLabelCell(n % perPage);
    m_host->BeginLabel(n / perPage + 1, cell.y + 1, cell.x + 1, std::max(1, int(f.m_nCopies)), pos, m_doc.m_variables);
}

void CLabelScripts::EndLabel()
{
    if (m_host) m_host->EndLabel();
}

void CLabelScripts::End()
{
    if (!m_host) return;
    m_host->EndJob();
    m_errors = m_host->GetErrors();
    if (m_doc.m_scriptEvaluator == m_host) m_doc.m_scriptEvaluator.reset();
    m_host.reset();
}

std::vector<std::string> CLabelScripts::Errors() const { return m_host ? m_host->GetErrors() : m_errors; }
