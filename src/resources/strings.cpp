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
    {11004, "Date Offset Exceeded(-9999 to 9999)!"},
    {11005, "Time Offset Exceed(Hour -23 to 23, Minute -59 to 59)!"},
    {11009, "This is a label file created by a new version %s !\nPlease upgrade your %s software to %d.0 or high."},
    {11011, "There is no printer installed in system!\nPlease install printer driver before run this program!"},
    {13031, "%s Label"},
    {14005, "Western Language"},
    {14006, "Symbol"},
    {14007, "Custom Paper"},
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
    {20100, "%Y-%m-%d"},
    {20101, "%Y-%m-%d\n(Year-Month-Day)"},
    {20102, "%m-%d-%y\n(Month-Day-Year)"},
    {20103, "%d-%m-%y\n(Day-Month-Year)"},
    {20104, "%B %d, %Y"},
    {20105, "%A, %d %B, %Y"},
    {20106, "%d %B, %Y"},
    {20107, "%d-%b-%y"},
    {20108, "%B, %y"},
    {20109, "%b, %y"},
    {20110, "%j\n(Julian)"},
    {20111, "%y%m%d\n(Year Month Day)"},
    {20112, "%y%m00\n(Year Month 00)"},
    {20113, "%m\n(Month: 2 Digits)"},
    {20114, "%#m\n(Month: 1-2 Digits)"},
    {20115, "%B\n(Month)"},
    {20116, "%b\n(Month: Abbreviated)"},
    {20117, "%d\n(Day: 2 Digits)"},
    {20118, "%#d\n(Day: 1-2 Digits)"},
    {20119, "%Y\n(Year: 1 Digit)"},
    {20120, "%y\n (Year: 2 Digits)"},
    {20121, "%#y\n(Year: 1-2 Digits)"},
    {20122, "%Y\n(Year: 3 Digits)"},
    {20123, "%Y\n(Year: 4 Digits)"},
    {20124, "%w\n(Weekday: Sunday is 0)"},
    {20125, "%02d\n(Week of Year: 2 Digits)"},
    {20126, "%d\n(Week of Year: 1-2 Digits)"},
    {20127, "%A"},
    {20128, "%d.%m.%y\n(Day.Month.Year)"},
    {20129, "%y-%m-%d\n(Year-Month-Day)"},
    {20130, "%y/%m/%d\n(Year/Month/Day)"},
    {20131, "%d.%m.%Y\n(Day.Month.Year)"},
    {20132, "%m/%d/%y\n(Month/Day/Year)"},
    {20133, "%d/%m/%y\n(Day/Month/Year)"},
    {20134, "%d\n(Week of year:Monday is First)"},
    {20135, "%d\n(Day of Week:Sunday is 7)"},
    {20200, "%H:%M:%S\n(24 Hour Format)"},
    {20201, "%#I:%M\n(12 Hour Format)"},
    {20202, "%#I:%M:%S\n(12 Hour Format)"},
    {20203, "%#I:%M:%S %p\n(12 Hour Format)"},
    {20204, "%#H:%M %p\n(24 Hour Format)"},
    {20205, "%#H:%M\n(24 Hour Format)"},
    {20206, "%#I:%M %p\n(12 Hour Format)"},
    {20207, "%#H:%M:%S %p\n(24 Hour Format)"},
    {20208, "%I\n(12 Hour Format: 2 Digits)"},
    {20209, "%#I\n(12 Hour Format: 1-2 Digits)"},
    {20210, "%H\n(24 Hour Format: 2 Digits)"},
    {20211, "%#H\n(24 Hour Format: 1-2 Digits)"},
    {20212, "%M\n(Minutes: 2 Digits)"},
    {20213, "%#M\n(Minutes: 1-2 Digits)"},
    {20214, "%S\n(Seconds: 2 Digits)"},
    {20215, "%#S\n(Seconds: 1-2 Digits)"},
    {20216, "%p\n(AM/PM)"},
    {20399, "Custom Label Paper"},
    {30001, "%s is not a label document."},
    {30002, "Cannot open %s: %s."},
    {30003, "Cannot save %s: %s."},
    {30101, "The picture file \"%s\" is in a format that cannot be read here (%s)."},
    {30102, "Cannot open the picture file \"%s\": %s."},
    {30103, "The picture file \"%s\" cannot be read as %s: %s"},
    {30104, "The picture file \"%s\" is too large (%u x %u pixels)."},
    {30105, "The picture file \"%s\" cannot be read.\nPrinting stops."},
    {30106, "The picture file \"%s\" cannot be read.\nGo on printing without it?"},
    {30201, "Open database failed. Please Check Database setup!"},
    {30202, "Record Not Found!"},
    {30203, "Database"},
    {30204, "Open Database Error, please check database setup."},
    {30205, "Record: %d / %d"},
    {30206, "Record: %d / %d (%d)"},
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
