#pragma once
// Where Database and Script variables take their values from. The document
// holds one record source while a data source is open and one script
// evaluator while scripting runs; without them those variables yield "".
#include <string>

#include "data/labelpos.h"

class CVariable;
class CVariableUser;

class CRecordSource {
public:
    virtual ~CRecordSource() = default;
    // Number of records, numbered from 1 (0 when the source has none).
    virtual int GetRecordCount() const = 0;
    // Text of a column of a record, "" when there is no such record or value.
    virtual std::string GetFieldValue(int record, const std::string& column, int columnIndex) = 0;
};

class CScriptEvaluator {
public:
    virtual ~CScriptEvaluator() = default;
    // Runs the variable's script function for the label at pos (may be null),
    // asked by obj (may be null); false when the script cannot be prepared.
    virtual bool GetScriptValue(const CVariable& var, const CLabelPos* pos, CVariableUser* obj, std::string& result) = 0;
};
