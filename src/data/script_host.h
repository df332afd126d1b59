#pragma once
// The script host: one running instance of the script engine with the
// print counters (V_PAGE ... V_PRINTTOTAL) and the named variables of a
// document as global variables, the texts of the errors it met, and the
// calls of the script's functions. Hosts in use: the job host (print
// events and Script variables while printing), the document's host
// (design-time refresh), the "Script" page's host (Check Syntax) and a
// temporary host for the editor's evaluation of a Script variable.
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/labelpos.h"
#include "data/value_sources.h"
#include "platform/types.h"
#include "vbscript/vbscript.h"

class CVariable;

// Whether scripts run and what each run may take: "EnableScript",
// "ScriptStepLimit", "ScriptCallDepth".
struct CScriptSettings {
    bool enabled = false;
    vbs::Limits limits;
    bool operator==(const CScriptSettings&) const = default;

    static CScriptSettings FromAppSettings();
};

// What the scripts see of the document besides its variables.
struct CScriptContext {
    std::string title;        // V_TITLE
    std::string printer;      // V_PRINTER
    std::string labelScript;  // the label format's script
    int printedTotal = 0;     // base of V_PRINTTOTAL: the label format's printed-labels counter
};

// The texts of the error list that the host adds itself.
inline constexpr const char kScriptErrorParsing[] = "Error parsing script text";
inline constexpr const char kScriptErrorRunning[] = "Error running the script";
inline constexpr const char kScriptSyntaxOk[] = "Checking Syntax OK!";
inline constexpr const char kScriptCaption[] = "Script";
inline constexpr const char kScriptErrorCaption[] = "Script Error";

class CScriptHost : public CScriptEvaluator {
public:
    CScriptHost();
    ~CScriptHost() override;
    CScriptHost(const CScriptHost&) = delete;
    CScriptHost& operator=(const CScriptHost&) = delete;

    // ---- counters, in the order the host keeps them ----
    int V_PAGE = 1;
    int V_COPY = 1;
    int V_ROW = 1;
    int V_COL = 1;
    int V_LABELNO = 1;
    int V_TOTALLABELS = 1;
    int V_STARTNO = 1;
    int m_nPrintedBase = 0;  // V_PRINTTOTAL is this plus the label's record index
    std::string V_TITLE;
    std::string V_PRINTER;

    // Fixes the settings the host starts with; without it Initialize reads
    // them from the application's settings each time.
    void SetSettings(const CScriptSettings& settings) { m_settings = settings; }

    // FALSE at once when scripts are off; otherwise empties the error list
    // and starts the engine.
    BOOL Initialize();
    // Parses the text into the running engine and runs its top-level
    // statements; later texts add to what is defined.
    BOOL AddCode(const std::string& text);
    // Calls the script's function with no argument (arg -1) or with the
    // integer; its result as text goes to out. A function the script does
    // not define fails and leaves out as it was.
    BOOL CallFunction(const std::string& name, std::string& out, int arg);
    // The script's V_TOTALLABELS as a number: the value when above 0, else
    // 0; -1 when it cannot be read.
    int ReadTotalLabels();
    // Adds the ten counter statements as one text.
    BOOL DefineCounters();
    // Releases the engine: the host is not started any more.
    void Close();

    bool IsStarted() const { return m_engine != nullptr; }
    const std::vector<std::string>& GetErrors() const { return m_errors; }

    // ---- named variables ----
    // A name the scripts can see a variable by: an ASCII letter, then ASCII
    // letters, digits and "_".
    static bool IsScriptName(std::string_view name);
    // A value as a string literal of the language that gives back exactly
    // the value: quotes doubled, line breaks joined as vbCrLf, vbLf, vbCr.
    static std::string ScriptString(std::string_view value);
    // "name = value\r\n".
    static std::string NamedStatement(std::string_view name, std::string_view value);
    // The statement of every named variable that is not a Script variable,
    // each as its own text, in list order: with its value for pos (pos
    // given), or with its displayed value.
    void AddNamedVariables(const std::vector<CVariable*>& variables, const CLabelPos* pos);

    // ---- steps of the algorithms ----
    // The counters, the named variables, the predefined script and the label script.
    void PrepareScripts(const CScriptContext& context, const std::vector<CVariable*>& variables, const CLabelPos* pos);
    // Before each label of a job: the counters of the label as one text,
    // then the named variables with their values for pos.
    void SetScriptVariables(int page, int row, int column, int copies, const CLabelPos& pos,
                            const std::vector<CVariable*>& variables);

    // ---- a print job, in the order the print engine calls it ----
    // Job start: starts the host, sets the counters (V_TOTALLABELS = labels,
    // V_STARTNO = startNo, the others 1), adds the counters, the named
    // variables with their values for the first label, the predefined and
    // the label script, calls OnBeginPrint (2 printing, 1 preview) and reads
    // V_TOTALLABELS back: labels becomes it when it can be read. False (and
    // labels unchanged) when the host does not start.
    bool BeginJob(const CScriptContext& context, const std::vector<CVariable*>& variables, int startNo,
                  bool preview, int& labels);
    // Before a label's objects: its counters and named variables, then OnBeginLabel.
    void BeginLabel(int page, int row, int column, int copies, const CLabelPos& pos,
                    const std::vector<CVariable*>& variables);
    // After a label's objects: OnEndLabel.
    void EndLabel();
    // End of the job: OnEndPrint, whose result is given, then Close.
    std::string EndJob();

    // A Script variable's value during a job: its script added again, then
    // OnGetData; false (and "") when either fails.
    bool GetScriptValue(const CVariable& var, const CLabelPos* pos, CVariableUser* obj, std::string& result) override;

    // "Check Syntax" of the Script page: the text added to the running host.
    // True with "Checking Syntax OK!"; false with every error text, each
    // followed by "\r\n" (the host is then started afresh). An empty text
    // does nothing and gives true with an empty message.
    bool CheckSyntax(const std::string& text, std::string& message);

private:
    void AddEngineError(const vbs::ScriptError& e);

    std::unique_ptr<vbs::Engine> m_engine;
    std::vector<std::string> m_errors;
    std::optional<CScriptSettings> m_settings;
};

// Whether a job runs its scripts: scripts are on and the document has a
// Script variable.
bool ScriptingOnForJob(const CScriptSettings& settings, const std::vector<CVariable*>& variables);

// Design-time refresh of the Script variables on the document's host:
// every Script variable's OnGetData result becomes its stored value. Gives
// the variables whose value changed; nothing when the host cannot start.
std::vector<CVariable*> RefreshScriptVariables(CScriptHost& host, const CScriptContext& context,
                                               const std::vector<CVariable*>& variables);

// The editor's evaluation of a Script variable on a temporary host, with
// the named variables of the list being edited: the result of OnGetData
// becomes its stored value. False when the host cannot start.
bool TestScript(CVariable& var, const std::vector<CVariable*>& edited, const CScriptContext& context,
                const CScriptSettings& settings);
