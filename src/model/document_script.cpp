// The document's side of label scripts: what the scripts see of it and the
// design-time refresh of its Script variables.
#include <algorithm>
#include <cstdlib>

#include "data/script_host.h"
#include "data/variable.h"
#include "model/document.h"
#include "model/drawobj.h"

std::string CKVDoc::GetTitle() const
{
    if (m_strPath.empty()) return "NewLabel";
    const size_t slash = m_strPath.find_last_of('/');
    return slash == std::string::npos ? m_strPath : m_strPath.substr(slash + 1);
}

CScriptContext CKVDoc::GetScriptContext() const
{
    CScriptContext c;
    c.title = GetTitle();
    c.printer = m_format.m_strPrinter;
    c.labelScript = m_format.GetProperty(LFP_SCRIPT);
    c.printedTotal = std::atoi(m_format.GetProperty(LFP_NUMBERING_OFFSET).c_str());
    return c;
}

void CKVDoc::RefreshScriptVariables(std::vector<CDrawObj*>& changed)
{
    RefreshScriptVariables(changed, CScriptSettings::FromAppSettings());
}

void CKVDoc::RefreshScriptVariables(std::vector<CDrawObj*>& changed, const CScriptSettings& settings)
{
    if (!settings.enabled) return;
    CScriptHost host;
    host.SetSettings(settings);
    for (CVariable* v : ::RefreshScriptVariables(host, GetScriptContext(), m_variables)) {
        for (CVariableUser* user : v->m_users) {
            auto* obj = dynamic_cast<CDrawObj*>(user);
            if (obj && std::find(changed.begin(), changed.end(), obj) == changed.end()) changed.push_back(obj);
        }
    }
}
