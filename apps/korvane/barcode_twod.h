#pragma once
// "korvane barcode qr|pdf417|datamatrix ...": the two-dimensional part of the
// barcode command.
#include <string>

#include "cli.h"

// True for the symbology names this part handles.
bool IsTwoDSymbology(const std::string& name);
// Runs the command for one of them; args are those after the symbology name.
int RunTwoDBarcode(const std::string& symbology, const CliArgs& args);
