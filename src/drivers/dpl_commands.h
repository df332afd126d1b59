#pragma once
// Pieces of DPL, the language of Datamax printers, that the DPL drivers put
// together: the one-character fields of a label-format record, the choice of
// size and multipliers for the scalable font, Code 128 function codes, the
// check that field data cannot start a command, and the Datamax system
// driver's private settings. Each is a pure function of its arguments.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

class CDevModeView;

// The control bytes of DPL: STX starts a system command and the label
// format ("\x02L"), SOH an immediate command that the printer runs wherever
// it meets one, even inside a field's data.
inline constexpr char kDplStx = '\x02';
inline constexpr char kDplSoh = '\x01';

// A multiplier or bar width as one character: 0 to 9 as "0" to "9", 10 and
// above as "A" onwards (value + 55); values outside 0..35 are held to it.
char DplMultiplierChar(int value);

// The rotation digit of a record for a quarter-turn count: 0, 1, 2, 3 give
// 1, 4, 3, 2 (other counts are taken modulo 4).
char DplRotationDigit(int rotation);

// The speed letter of "P" from a speed in tenths of an inch per second:
// "A" for 1.0 in/s and one letter per 0.5 in/s above it, held to A..Z.
char DplSpeedLetter(int tenthsPerSecond);

// Code 128 data from the encoder's caret string: the start set letter
// ("A", "B" or "C") first, then "^1" "&G", "^2" "&B", "^3" "&A", "^A" "&F",
// "^B" "&E", "^C" "&D", "^S" "&C", "^^" a caret, and a data "&" doubled.
// A caret with any other character is dropped with it.
std::string DplCode128Data(std::string_view caret);

// The scalable font's size and whole multipliers for a point size and a
// width scale (10000 = 100 %), from a list of the sizes the printer has in
// ascending order. Searched from the largest size down: of the sizes that
// divide the point size, the first whose multipliers give the width scale
// within 10 (of 10000) wins, else the smallest that divides; when none
// divides, size 0 with both multipliers equal to the point size.
struct DplScalableChoice {
    int size = 0;         // points, 0 when no size divides
    int position = 0;     // 1-based position of the size in the list, 0 when none
    int widthMul = 1;
    int heightMul = 1;
};
DplScalableChoice DplChooseScalableSize(int points, int widthScale, std::span<const int> sizes);

// The sizes of the scalable font: the full list, and the shorter one of the
// printers of language codes 5 and 8.
std::span<const int> DplScalableSizes();
std::span<const int> DplShortScalableSizes();

// The first byte of field data that a printer would take for the start of a
// command or the end of the record (SOH, STX, CR, LF), as its position; npos
// when there is none. DPL has no escape for these bytes in field data.
size_t DplForbiddenByte(std::string_view data);

// The Datamax system driver's private settings block as the DPL drivers of
// language codes 2, 4 and 16 read it. present is false when the settings
// block has no private part to read (a spec version other than 0x400 and
// 0x401, or a block too short to hold it); every value is then 0.
struct DplWinBlock {
    bool present = false;
    std::uint8_t printSpeed = 0;  // letter of "P"
    std::uint8_t slewSpeed = 0;   // letter of the "S" system command
    std::uint8_t backupSpeed = 0; // letter of "p"
    std::uint8_t feedSpeed = 0;   // letter of the format's "S"
    std::int32_t startOffset = 0; // micrometres
    std::int32_t tearPosition = 0;
    std::int32_t peelPosition = 0;
    std::int32_t batchCount = 0;  // labels of a batch in peel mode (":")
    std::int32_t darkness = 0;
    std::uint32_t flags = 0;
    std::int32_t cutPosition = 0;
};
// Offsets in the private block.
enum : int {
    DPLW_PRINT_SPEED = 0x00,    // byte
    DPLW_SLEW_SPEED = 0x01,     // byte
    DPLW_BACKUP_SPEED = 0x02,   // byte
    DPLW_FEED_SPEED = 0x03,     // byte
    DPLW_START_OFFSET = 0x0C,
    DPLW_TEAR_POSITION = 0x10,
    DPLW_PEEL_POSITION = 0x14,
    DPLW_BATCH_COUNT = 0x18,
    DPLW_DARKNESS = 0x1C,
    DPLW_FLAGS = 0x20,
    DPLW_CUT_POSITION = 0x24,
    DPLW_BLOCK_SIZE = 0x28,
};
// Bits of the flags.
enum : std::uint32_t {
    DPLW_DOUBLE_BUFFER = 0x1,
    DPLW_MEDIA_MASK = 0x60,      // 0x20 gap, 0x40 mark, 0x60 continuous
    DPLW_PRESENT_MASK = 0x180,   // 0x100: the peeled label is presented, no sensor
    DPLW_DARKNESS_SET = 0x400,
    DPLW_BACKFEED = 0x8000,
    DPLW_MODE_MASK = 0x70000,    // 0x10000 tear, 0x20000 peel, 0x40000 cut
};
DplWinBlock ReadDplWinBlock(const CDevModeView& devMode);
