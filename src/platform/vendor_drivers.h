#pragma once
// Stand-ins for the label printer makers' drivers. A printer queue's
// settings block is made here from what the spooler knows of the queue:
// every queue gets the public part (its name, resolution, default paper,
// portrait, one copy); a queue whose driver a row of the table below
// recognises also gets that maker's signature (driver version and private
// size) and, at the offsets the command-language drivers read, the values
// of the queue's own option defaults (darkness, print rate, media tracking,
// label top, print mode, tear-off position, media type).
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/types.h"

// What the stand-in knows of a queue.
struct VendorDriverQueue {
    std::string printerName;  // becomes the device name of the block
    std::string driverName;   // the queue's driver (make and model)
    // Option keyword -> default choice, as the queue's driver description
    // and the queue's own defaults give them ("zePrintRate" -> "4").
    std::map<std::string, std::string> options;
    int dpiX = 0;  // 0 when the queue reports no resolution
    int dpiY = 0;
    short paperCode = 0;  // the default paper; 0 when there is none
    int paperWidth = 0;   // tenths of a millimetre
    int paperLength = 0;
};

struct VendorDriverRow {
    const char* driverName;  // the driver it stands in for, compared without regard to case
    WORD driverVersion;
    WORD driverExtra;
    // Writes the private values into a block of the row's signature.
    void (*fill)(std::vector<std::uint8_t>& block, const VendorDriverQueue& queue);
};

// The rows, in the order they are tried.
const std::vector<VendorDriverRow>& VendorDriverRows();

// The row whose driver the queue has, or null.
const VendorDriverRow* FindVendorDriver(const std::string& driverName);

// The resolution a queue without any (a raw queue: no driver) reports: that
// of most label printers, so the queue can be chosen and sent to.
inline constexpr int kRawQueueDpi = 203;

// The queue's settings block.
std::vector<std::uint8_t> MakeQueueDevMode(const VendorDriverQueue& queue);
