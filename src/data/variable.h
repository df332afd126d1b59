#pragma once
// A variable: one data source of a label object (fixed text, serial number,
// database column, date, time, keyboard value, script result). Objects hold
// ordered lists of variables; an object's text is the concatenation of its
// variables' values. Variables belong to the document and may be shared.
#include <string>
#include <vector>

#include "data/labelpos.h"
#include "data/variable_host.h"
#include "platform/archive.h"
#include "platform/property_table.h"

enum VariableKind : int {
    VK_FIXED = 0,
    VK_SERIAL = 1,
    VK_DATABASE = 2,
    VK_DATE = 3,
    VK_TIME = 4,
    VK_KEYBOARD = 5,
    VK_SCRIPT = 6,
};

// m_dwFlags bits.
enum VariableFlags : int {
    VF_MIN_LENGTH = 0x1,
    VF_MAX_LENGTH = 0x2,
    VF_TRIM_LEFT = 0x4,
    VF_TRIM_RIGHT = 0x8,
    VF_DISCARD_LEFT = 0x10,
    VF_DISCARD_RIGHT = 0x20,
    VF_KEEP = 0x40,
    VF_INPUT_ON_PRINT = 0x1000000,
};

// Property table keys of a variable.
enum VariableProperty : int {
    VP_SCRIPT = 261,
    VP_RESET = 269,
    VP_PRINTER_CLOCK = 315,
    VP_CLOCK_FORMAT = 316,
};

extern const char kDefaultVariableScript[];

class CVariable : public CObject {
    KV_DECLARE_SERIAL(CVariable)
public:
    CVariable();
    // A variable made for a kind: the defaults, then the kind and a first
    // value (the current date or time in format 0 for Date and Time,
    // "12345678" for every other kind); a Script variable also gets the
    // default script.
    explicit CVariable(int kind);
    ~CVariable() override;
    CVariable(const CVariable&) = delete;
    CVariable& operator=(const CVariable&) = delete;

    void ResetDefaults();
    void Serialize(CArchive& ar) override;

    // Value for the label at pos (may be null), asked by obj (may be null),
    // formatted. Date and Time keep m_strData up to date as they go.
    std::string GetValue(const CLabelPos* pos, CVariableUser* obj);
    // The value shown while editing: Date and Time for now, every other kind
    // its stored value; formatted.
    std::string GetDisplayValue(CVariableUser* obj);
    // The serial value for the label at pos; the variable does not change.
    std::string GetSerialValue(const CLabelPos& pos) const;
    std::string ApplyFormatting(const std::string& value) const;
    // The stored start value moves to the serial value for pos.
    void AdvanceStart(const CLabelPos& pos);
    // The stored value becomes the database value of the first record; 1.
    int RefreshDatabaseValue();
    std::string GetAlphabet() const;
    int IndexInAlphabet(char c) const;
    // The script of a Script variable (property 261), the default script
    // when none is stored.
    std::string GetScriptText() const;
    // The column of a Database variable: the name before "\n" and the index after it.
    std::string FieldName() const;
    int FieldIndex() const;

    // True for Keyboard, and for SerialNo asking its start value at print time.
    bool NeedsInput() const;
    // Label rows that share one value when a printer-side counter prints the
    // variable (0: it cannot), and the printer's increment per printed format.
    int PrinterSerialRows() const;
    int PrinterSerialStep(int rows) const;

    CVariable* Clone(CVariableHost* doc) const;
    void CopyFrom(const CVariable& src);
    bool IsEqual(const CVariable& other) const;

    void AttachUser(CVariableUser* obj);
    // Removes obj from the users; once none is left the variable leaves its
    // document and is deleted (then true is returned and this is gone).
    bool DetachUser(CVariableUser* obj);
    // Every user object recomputes its bounds, in users order.
    void NotifyUsers();

    std::string GetProperty(int key) const { return m_properties.Get(key); }
    std::string SetProperty(int key, const std::string& value) { return m_properties.Set(key, value); }
    int SetIntProperty(int key, int value) { return m_properties.SetInt(key, value); }

    // ---- persistent members, in file order ----
    std::int32_t m_nID = 0;
    std::int32_t m_nKind = VK_FIXED;
    std::string m_strName;
    std::string m_strData;
    std::int32_t m_nSerialType = 0;
    std::int32_t m_nStep = 1;
    std::int32_t m_nRepeat = 1;
    std::int32_t m_nCountBasis = 0;
    std::string m_strAlphabet = "0123456789";
    std::string m_strReserved10;
    std::string m_strReserved11;
    std::string m_strField;
    std::int32_t m_nFormat = 0;
    std::int32_t m_nOffset = 0;
    std::string m_strReserved15;
    std::string m_strPrompt = "Input:";
    std::string m_strReserved17;
    std::int32_t m_dwFlags = 0;
    std::int32_t m_nMinLength = 1;
    std::int32_t m_nPadSide = 0;
    std::int32_t m_chPad = '0';
    std::int32_t m_nMaxLength = 8;
    std::int32_t m_nCutSide = 0;
    std::int32_t m_nReserved24 = 0;
    std::int32_t m_nDiscardLeft = 0;
    std::int32_t m_nDiscardRight = 0;
    std::int32_t m_nKeepMode = 0;
    std::int32_t m_nKeepCount = 1;
    std::int32_t m_nAllowClass = 0;
    std::string m_strAllowChars = "1234567890";
    std::int32_t m_nInvalidAction = 0;
    std::int32_t m_chReplace = '0';
    CPropertyTable m_properties;

    // ---- transient ----
    std::vector<CVariableUser*> m_users;
    CVariableHost* m_pDocument = nullptr;
    int m_nJobMark = 0;

private:
    std::string DatabaseValue(const CLabelPos* pos) const;
};
