#pragma once
// What the "Database Setup" dialog shows for the settings being edited: the
// tables or worksheets to choose from, the fields of the chosen one, a
// preview of its first ten records, and the lines describing the source.
#include <string>
#include <vector>

#include "data/data_source.h"

struct CSetupView {
    std::vector<std::string> tables;  // ODBC tables and views, or worksheets; none for a text file
    std::string table;                // the stored table when it is listed, else the first
    std::vector<std::string> fields;
    std::vector<std::vector<std::string>> preview;  // up to ten records
    std::vector<std::string> info;    // "DSN: %s", "Type: %s", "Database: %s", or "File Name: %s"
    std::string fieldList;            // the field list text the dialog's OK stores
};

// Reads what the settings name (texts in the document code page). False with
// the reason when the source cannot be read.
bool BuildSetupView(const CDataSourceSettings& settings, const std::string& documentFolder, CSetupView& out,
                    CSourceError& error);
