#pragma once
// One print run of a document from start to end, as the print command runs
// it: the run's values into the label format, the job in command mode
// (the driver writes the printer's language to a port) or in graphics mode
// (pages to a PDF file, PNG pictures or a printer of the system), then the
// steps after a run that succeeded: the printed-labels counter, the serial
// numbers stepped on, the start label tracked, the page numbers moved on.
// Nothing is counted, advanced or tracked after a failure or a cancel.
#include <cstdint>
#include <string>
#include <vector>

#include "model/document.h"

class IPrintProgress;

struct CPrintRequest {
    std::string printer;  // the printer of the job
    // The printer's port goes to this file instead (command mode); in
    // graphics mode the file is the PDF the printer would receive.
    bool toFile = false;
    std::string outputFile;  // empty: the settings name the print file
    // Graphics pages to files, whatever the printer's language: a PDF
    // file and PNG pictures ("%d" the page number); either or both.
    std::string pdfPath;
    std::string pngPattern;
    int quantity = 0;     // distinct labels; 0 keeps the label's
    int copies = 0;       // 0 keeps the label's
    int repeat = 1;       // the whole graphics job again
    int startLabel = -1;  // slot of the first label on the first page (from 0); -1 keeps the label's
    int startRecord = 0;  // first record (from 1); 0 keeps the label's
    bool answerYes = false;  // questions while printing are answered Yes
    bool forceScripts = false;  // the document's scripts run even when "EnableScript" is off
    int timeLimitMs = 0;     // for spooler jobs and own ports; 0 their defaults
    bool operator==(const CPrintRequest&) const = default;
};

struct CPrintOutcome {
    enum Status {
        Printed,      // every page and byte reached its target
        Nothing,      // nothing to print (no labels, records or objects)
        Stopped,      // the user stopped it (an object outside the label, No)
        Cancelled,    // cancelled while printing
        Failed,       // the printer, port or file failed: error says why
        Unsupported,  // the printer's language has no driver yet
    };
    Status status = Nothing;
    std::string error;
    bool graphics = false;
    int distinct = 0;  // L of the job
    int labels = 0;    // printed labels, copies and repeats counted
    int pages = 0;     // graphics pages
    std::uint64_t bytes = 0;
    std::string where;

    // What the run changed that the document keeps.
    long long counterAdded = 0;
    bool advanced = false;
    CKVDoc::SerialAdvance advance;
    bool startTracked = false;
    int nextStartLabel = 0;
    bool pageNumbersMoved = false;
    int nextPageNumber = 1;
    bool ChangesDocument() const { return counterAdded != 0 || advanced || startTracked || pageNumbersMoved; }
};

// Runs the job on doc (whose driver the document made) and the steps after it.
CPrintOutcome RunPrint(CKVDoc& doc, const CPrintRequest& request, IPrintProgress* progress);

// Writes what a run changed into the document file it was opened from:
// the file as it was read (original), with the counter, the serial start
// values, the first record (keepFirstRecord false leaves it), the tracked
// start label and the page number start moved as the run moved them, and
// nothing else; written whole under a temporary name and renamed. False,
// with the reason, when the file changed on disk meanwhile or cannot be
// written.
bool SaveRunChanges(const std::string& path, const std::vector<std::uint8_t>& original, const CPrintOutcome& outcome,
                    bool keepFirstRecord, std::string* error);
