#pragma once
// Which installed family stands in for a face name that documents and
// printer font lists use. Faces this machine has are used as they are;
// the usual document faces map to metric-compatible families so that text
// keeps its measured widths; anything else is left to the font system's
// own fallback, guided by the pitch and family byte.
#include <string>

#include "platform/types.h"

// True when a family of exactly this name (UTF-8, case-insensitive) is installed.
bool IsFontFamilyInstalled(const std::string& family);

// The family to ask the font system for (UTF-8). faceName is in the ANSI
// code page. When neither the face nor a table substitute is installed the
// face itself is returned and the font system picks its substitute.
std::string ResolveFontFamily(const std::string& faceName);

// The table substitute of a face, or "" when the table has none.
std::string FontSubstituteFor(const std::string& faceName);
