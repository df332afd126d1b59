#pragma once
// The string table: the system's user-visible texts by id, in English.
#include <string>

// The application's name as it appears in captions and titles.
inline constexpr const char kProductName[] = "Tessavo";

// Text of a string id, or "" when the table has no such id.
std::string LoadKvString(int id);
// True when the table holds the id.
bool HasKvString(int id);

// String ids used by the code.
enum KvStringId : int {
    IDS_OLE_INIT_FAILED = 100,
    IDS_SOCKETS_INIT_FAILED = 103,
    IDS_DOC_TYPE = 129,
    IDS_PRINT_ONLY = 10026,
    IDS_PRINTER_NOT_FOUND = 11002,
    IDS_DATE_OFFSET_EXCEEDED = 11004,
    IDS_TIME_OFFSET_EXCEEDED = 11005,
    IDS_NEWER_VERSION = 11009,
    IDS_NO_PRINTER = 11011,
    IDS_LABEL_GROUP_TITLE = 13031,
    IDS_SCRIPT_WESTERN = 14005,
    IDS_SCRIPT_SYMBOL = 14006,
    IDS_CUSTOM_PAPER = 14007,
    IDS_LANG_CHS = 14110,
    IDS_LANG_CHT = 14111,
    IDS_LANG_ENG = 14112,
    IDS_LANG_RUS = 14250,
    IDS_LANG_DEU = 14251,
    IDS_LANG_ESP = 14252,
    IDS_LANG_FRA = 14253,
    IDS_LANG_CSY = 14254,
    IDS_LANG_HUN = 14255,
    IDS_LANG_ITA = 14256,
    IDS_DATE_FORMAT_FIRST = 20100,
    IDS_TIME_FORMAT_FIRST = 20200,
    IDS_CUSTOM_LABEL_PAPER = 20399,
    IDS_LABEL_PAPER_FIRST = 20500,
    // Texts of our own (messages whose wording the system chooses).
    IDS_NOT_LABEL_FILE = 30001,
    IDS_CANNOT_OPEN = 30002,
    IDS_CANNOT_SAVE = 30003,
    IDS_PICTURE_UNKNOWN_FORMAT = 30101,
    IDS_PICTURE_CANNOT_OPEN = 30102,
    IDS_PICTURE_CANNOT_DECODE = 30103,
    IDS_PICTURE_TOO_LARGE = 30104,
    IDS_PICTURE_MISSING_ABORT = 30105,
    IDS_PICTURE_MISSING_ASK = 30106,
    IDS_DB_OPEN_FAILED = 30201,
    IDS_DB_RECORD_NOT_FOUND = 30202,
    IDS_DB_STATE_NONE = 30203,
    IDS_DB_STATE_ERROR = 30204,
    IDS_DB_STATE_RECORD = 30205,
    IDS_DB_STATE_RECORD_COPIES = 30206,
};
