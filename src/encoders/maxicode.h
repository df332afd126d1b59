#pragma once
// MaxiCode symbol builder: modes 2 to 5, the five code sets with latches and
// shifts, the primary and secondary messages with their Reed-Solomon codes
// over GF(64), and the placement of the 144 codewords on the 33 x 30 grid
// (placement table generated from the standard's table).
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace maxicode {

// Grid positions that carry no codeword bit (kPlacement values below 0).
enum Position : std::int16_t {
    kNoPosition = -1,        // odd rows have 29 positions
    kFinderArea = -2,        // under the bullseye
    kOrientationDark = -3,
    kOrientationLight = -4,
    kTopRightDark = -5,      // the two unused top-right modules, drawn dark
};
// (codeword - 1) * 6 + bit (0 the most significant) of each position, or a
// Position.
extern const std::int16_t kPlacement[33][30];

constexpr int kRows = 33, kColumns = 30, kCodewords = 144;

// A structured carrier message: postal code, country and class of service,
// and what goes to the secondary message.
struct CarrierMessage {
    std::string postalCode;
    int country = 0;
    int serviceClass = 0;
    std::string secondary;
};
// Recognises "[)>" RS "01" GS "96" postal GS country GS class GS rest, and the
// same without the header (postal GS country GS class [GS rest]). The postal
// code is 1-9 digits or 1-6 characters of code set A; country and class are
// 1-3 digits. With the header the secondary message keeps the header in
// front of the rest.
bool ParseCarrierMessage(const std::uint8_t* data, size_t length, CarrierMessage& out);

enum class Status { kOk, kTooLong };

struct Symbol {
    int mode = 4;
    std::array<std::uint8_t, kCodewords> codewords{};  // symbol order: primary, its EC, secondary, its EC
    // 30 x 33 positions, 1 = dark (data bits, dark orientation and
    // top-right modules); the finder area stays light.
    std::array<std::array<std::uint8_t, kColumns>, kRows> dark{};
};

// mode 0 chooses: 2 or 3 for a structured carrier message, else 4; 2 and 3
// take a carrier message when the data is one (else 4); 4 and 5 as asked.
Status BuildSymbol(const std::uint8_t* data, size_t length, int mode, Symbol& out);

// The codewords of bytes in the code sets (exposed for tests).
std::vector<int> EncodeText(const std::uint8_t* data, size_t length);

// Check codewords of a block over GF(64) (x^6 + x + 1, roots a^1 .. a^n).
std::vector<int> ErrorCorrection(const std::vector<int>& data, int ecCount);

}  // namespace maxicode
