#pragma once
// How variables reach the objects that show them and the document that
// holds them without knowing either: the label objects implement
// CVariableUser, the document implements CVariableHost.
#include <string>

#include "platform/clock.h"

class CScriptEvaluator;
class CVariable;

// An object fed by variables.
class CVariableUser {
public:
    // The value of a variable changed: the object recomputes its bounds
    // (and repaints), or only its size.
    virtual void UpdateBounds() = 0;
    virtual void RecalcSize() = 0;

protected:
    ~CVariableUser() = default;
};

// The shape of the print job that printer-side counters depend on.
struct VariableJobShape {
    int copies = 1;  // copies of each label, at least 1
    int across = 1;  // labels across the sheet, at least 1
    int labels = 1;  // distinct labels of the job
};

// What a variable asks of the document that holds it.
class CVariableHost {
public:
    // The open data source: its records (-1 when none is open), the text of a
    // column of record n (1-based; "" when there is no such record), and the
    // record a run starts at.
    virtual int GetRecordCount() const = 0;
    virtual std::string GetFieldValue(int record, const std::string& column, int columnIndex) const = 0;
    virtual bool HasRecordSource() const = 0;
    virtual int GetStartRecord() const = 0;
    // The script evaluator while scripting runs, else null.
    virtual CScriptEvaluator* GetScriptEvaluator() const = 0;
    virtual VariableJobShape GetJobShape() const = 0;
    // When user prints var (a Date or Time variable) from the printer's
    // clock: true with the clock's rendering of time in text.
    virtual bool GetPrinterClockText(const CVariable& var, CVariableUser* user, const CLocalTime& time,
                                     std::string& text) = 0;
    // Takes a variable into the document's list (with a new id), or drops it.
    virtual void AddVariable(CVariable* var) = 0;
    virtual void RemoveVariable(CVariable* var) = 0;

protected:
    ~CVariableHost() = default;
};
