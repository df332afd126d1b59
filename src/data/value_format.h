#pragma once
// The formatting every variable value passes through before it reaches an
// object: trimming, discarding, keeping part of the value (with numeric
// rounding), padding to a minimum and cutting to a maximum. Lengths count
// bytes of the ANSI code page; the steps that walk whole characters keep a
// double-byte character together.
#include <string>

class CVariable;

// The value formatted by the variable's flags and members, in the fixed
// order: trim, discard left, discard right, keep, trim again, pad to the
// minimum, cut to the maximum.
std::string ApplyValueFormatting(const CVariable& var, std::string value);

// The single steps (exposed for the pages' previews and for tests).
std::string TrimSpacesLeft(const std::string& value);
std::string TrimSpacesRight(const std::string& value);
std::string DiscardLeft(const std::string& value, int count);
std::string DiscardRight(const std::string& value, int count);
std::string KeepLeft(const std::string& value, int count);
std::string KeepRight(const std::string& value, int count);
std::string KeepDecimalPlaces(const std::string& value, int places);
std::string KeepInteger(const std::string& value);
std::string PadToMinimum(const std::string& value, int minimum, int padSide, int padChar);
std::string CutToMaximum(const std::string& value, int maximum, int cutSide);
