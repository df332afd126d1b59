#pragma once
// Label data given on the command line. Typed text arrives in UTF-8 and
// goes to the label in the document code page; text that is not UTF-8, or a
// character the code page cannot hold, is refused with its byte position
// (exit status 2) rather than reaching the label as something the user did
// not type. Bytes of any kind come unchanged from a file (--data-file).
// Every command that takes label data uses this.
#include <string>

// Converts the text of an option (named for the message, e.g. "-d") to the
// code page. False with the message when it is refused.
bool LabelTextFromArgument(const std::string& option, const std::string& utf8, std::string& ansi,
                           std::string& error);

// The exit status of a refused label text.
inline constexpr int kRefusedDataStatus = 2;
