#pragma once
// The job's scripts around the labels the command line prints or shows:
// started as a print job starts them when scripting is on for the document
// ("EnableScript" or --scripts, and a Script variable), each label's
// counters set and its events called around its objects, the errors kept.
#include <memory>
#include <string>
#include <vector>

#include "data/labelpos.h"

class CKVDoc;
class CScriptHost;

class CLabelScripts {
public:
    // forced: run the scripts even when "EnableScript" is off.
    CLabelScripts(CKVDoc& doc, bool forced);
    ~CLabelScripts();
    CLabelScripts(const CLabelScripts&) = delete;
    CLabelScripts& operator=(const CLabelScripts&) = delete;

    // Whether the job's scripts started (and still run).
    bool Ran() const { return m_ran; }
    bool Running() const { return m_host != nullptr; }
    // The job's labels after OnBeginPrint (the label format's quantity unless
    // the script changed V_TOTALLABELS).
    int Labels() const { return m_labels; }
    // Before the objects of the label at pos: its page, row, column, copies
    // and named variables, then OnBeginLabel.
    void BeginLabel(const CLabelPos& pos);
    void EndLabel();
    // OnEndPrint; the document's Script variables stop running.
    void End();
    std::vector<std::string> Errors() const;

private:
    CKVDoc& m_doc;
    std::shared_ptr<CScriptHost> m_host;
    int m_labels = 0;
    bool m_ran = false;
    std::vector<std::string> m_errors;
};
