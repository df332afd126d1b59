#include "resources/strings.h"

#include <algorithm>
#include <iterator>

namespace {

struct Entry {
    int id;
    const char* text;
};

// Kept sorted by id.
const Entry kStrings[] = {
    {100, "OLE initialization failed.  Make sure that the OLE libraries are the correct version."},
    {103, "WinSock initialization failed."},
    {129, "\nNewLabel\nNewLabel\nLabel Document (*.kvd)\n.kvd\nKorvane.Document\nKorvane Document"},
    {10026, "Print Only"},
    {11002, "This label is designed for printer %1.\nThe printer is not found!!"},
    {11009, "This is a label file created by a new version %s !\nPlease upgrade your %s software to %d.0 or high."},
    {11011, "There is no printer installed in system!\nPlease install printer driver before run this program!"},
    {13031, "%s Label"},
    {14110, "Chinese Simplified"},
    {14111, "Chinese Traditional"},
    {14112, "English"},
    {14250, "Russian"},
    {14251, "German"},
    {14252, "Spanish"},
    {14253, "French"},
    {14254, "Czech"},
    {14255, "Hungarian"},
    {14256, "Italian"},
    {20399, "Custom Label Paper"},
    {30001, "%s is not a label document."},
    {30002, "Cannot open %s: %s."},
    {30003, "Cannot save %s: %s."},
};

}  // namespace

std::string LoadKvString(int id)
{
    const auto it = std::lower_bound(std::begin(kStrings), std::end(kStrings), id,
                                     [](const Entry& e, int v) { return e.id < v; });
    if (it == std::end(kStrings) || it->id != id) return std::string();
    return it->text;
}

bool HasKvString(int id)
{
    const auto it = std::lower_bound(std::begin(kStrings), std::end(kStrings), id,
                                     [](const Entry& e, int v) { return e.id < v; });
    return it != std::end(kStrings) && it->id == id;
}
