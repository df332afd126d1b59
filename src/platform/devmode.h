#pragma once
// Printer settings blocks. A printer's settings travel as one byte block in
// the layout Windows printer drivers use (single-byte character layout): a
// public part of fixed fields followed by the driver's private data. Label
// documents store such blocks, the printer catalogue holds one per printer
// and the vendor drivers read their private settings from them, so the
// layout is read here byte by byte, independent of any host platform.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/types.h"

namespace devmode {

// Offsets of the public fields.
inline constexpr size_t kDeviceName = 0;  // 32 bytes, zero-padded
inline constexpr size_t kDeviceNameSize = 32;
inline constexpr size_t kSpecVersion = 32;    // WORD
inline constexpr size_t kDriverVersion = 34;  // WORD
inline constexpr size_t kSize = 36;           // WORD: size of the public part
inline constexpr size_t kDriverExtra = 38;    // WORD: size of the private part
inline constexpr size_t kFields = 40;         // DWORD: which public fields are set
inline constexpr size_t kOrientation = 44;    // short
inline constexpr size_t kPaperSize = 46;      // short: paper size code
inline constexpr size_t kPaperLength = 48;    // short: tenths of a millimetre
inline constexpr size_t kPaperWidth = 50;     // short: tenths of a millimetre
inline constexpr size_t kScale = 52;
inline constexpr size_t kCopies = 54;
inline constexpr size_t kDefaultSource = 56;
inline constexpr size_t kPrintQuality = 58;  // short: horizontal dpi when positive
inline constexpr size_t kColor = 60;
inline constexpr size_t kDuplex = 62;
inline constexpr size_t kYResolution = 64;  // short: vertical dpi
inline constexpr size_t kFormName = 70;     // 32 bytes
// The public part holds the header up to and including the driver-extra
// field at least; the full public part of the current layout is 156 bytes.
inline constexpr size_t kHeaderSize = 40;
inline constexpr size_t kPublicSize = 156;
inline constexpr WORD kCurrentSpecVersion = 0x401;

// Bits of the fields word.
inline constexpr DWORD kFieldOrientation = 0x1;
inline constexpr DWORD kFieldPaperSize = 0x2;
inline constexpr DWORD kFieldPaperLength = 0x4;
inline constexpr DWORD kFieldPaperWidth = 0x8;
inline constexpr DWORD kFieldCopies = 0x100;
inline constexpr DWORD kFieldPrintQuality = 0x400;
inline constexpr DWORD kFieldYResolution = 0x2000;
inline constexpr DWORD kFieldFormName = 0x10000;

inline constexpr short kOrientPortrait = 1;
inline constexpr short kOrientLandscape = 2;
inline constexpr short kPaperUser = 256;

}  // namespace devmode

// Read access to a settings block held elsewhere. Every read is bounds
// checked: a field that lies beyond the end of the block reads as 0, so a
// short or damaged block from a file never leads outside its bytes.
class CDevModeView {
public:
    CDevModeView() = default;
    CDevModeView(const std::uint8_t* data, size_t size) : m_data(data), m_size(data ? size : 0) {}
    explicit CDevModeView(const std::vector<std::uint8_t>& block) : CDevModeView(block.data(), block.size()) {}

    const std::uint8_t* Data() const { return m_data; }
    size_t Length() const { return m_size; }
    bool IsEmpty() const { return m_size == 0; }
    // Long enough to hold the header up to the driver-extra field.
    bool HasHeader() const { return m_size >= devmode::kHeaderSize; }

    // The device name: the bytes before the first zero of the first 32.
    std::string DeviceName() const;
    WORD SpecVersion() const { return Word(devmode::kSpecVersion); }
    WORD DriverVersion() const { return Word(devmode::kDriverVersion); }
    WORD PublicSize() const { return Word(devmode::kSize); }
    WORD DriverExtra() const { return Word(devmode::kDriverExtra); }
    DWORD Fields() const { return Dword(devmode::kFields); }
    short Orientation() const { return Short(devmode::kOrientation); }
    short PaperSize() const { return Short(devmode::kPaperSize); }
    short PaperLength() const { return Short(devmode::kPaperLength); }
    short PaperWidth() const { return Short(devmode::kPaperWidth); }
    short PrintQuality() const { return Short(devmode::kPrintQuality); }
    short YResolution() const { return Short(devmode::kYResolution); }
    std::string FormName() const;
    // The length the block claims for itself: public part plus private part.
    size_t DeclaredLength() const { return size_t(PublicSize()) + DriverExtra(); }
    // Offset of the driver's private data (right after the public part).
    size_t PrivateOffset() const { return PublicSize(); }

    // Little-endian reads at any offset; 0 past the end.
    BYTE Byte(size_t offset) const;
    WORD Word(size_t offset) const;
    short Short(size_t offset) const { return short(Word(offset)); }
    DWORD Dword(size_t offset) const;
    std::int32_t Int(size_t offset) const { return std::int32_t(Dword(offset)); }
    // Whether n bytes from offset lie inside the block.
    bool Holds(size_t offset, size_t n) const { return offset <= m_size && n <= m_size - offset; }

private:
    std::string Text(size_t offset, size_t max) const;

    const std::uint8_t* m_data = nullptr;
    size_t m_size = 0;
};

// A minimal block for a printer: the public part (156 bytes) with the
// device name (cut to 31 bytes so a terminating zero remains), the version
// fields and sizes, followed by driverExtra zero bytes of private data.
std::vector<std::uint8_t> MakeDevMode(std::string_view deviceName, WORD driverVersion = 0, WORD driverExtra = 0,
                                      WORD specVersion = devmode::kCurrentSpecVersion);

// Writers for the public fields; each also marks its field as set. They do
// nothing when the block is too short to hold the field.
void DevModeSetOrientation(std::vector<std::uint8_t>& block, short orientation);
// Paper size code and, for a user-defined size, its length and width in
// tenths of a millimetre (both left untouched when they are 0).
void DevModeSetPaper(std::vector<std::uint8_t>& block, short paperSize, short lengthTenthsMm = 0,
                     short widthTenthsMm = 0);
void DevModeSetResolution(std::vector<std::uint8_t>& block, short dpiX, short dpiY);
void DevModeSetCopies(std::vector<std::uint8_t>& block, short copies);
// The form name (cut to 31 bytes so a terminating zero remains).
void DevModeSetFormName(std::vector<std::uint8_t>& block, std::string_view name);
void DevModeSetWord(std::vector<std::uint8_t>& block, size_t offset, WORD value);
void DevModeSetDword(std::vector<std::uint8_t>& block, size_t offset, DWORD value);
