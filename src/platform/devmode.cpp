#include "platform/devmode.h"

#include <algorithm>

std::string CDevModeView::Text(size_t offset, size_t max) const
{
    if (offset >= m_size) return std::string();
    const size_t avail = std::min(max, m_size - offset);
    const std::uint8_t* p = m_data + offset;
    const std::uint8_t* end = std::find(p, p + avail, std::uint8_t(0));
    return std::string(reinterpret_cast<const char*>(p), size_t(end - p));
}

std::string CDevModeView::DeviceName() const { return Text(devmode::kDeviceName, devmode::kDeviceNameSize); }

std::string CDevModeView::FormName() const { return Text(devmode::kFormName, 32); }

BYTE CDevModeView::Byte(size_t offset) const { return Holds(offset, 1) ? m_data[offset] : 0; }

WORD CDevModeView::Word(size_t offset) const
{
    if (!Holds(offset, 2)) return 0;
    return WORD(m_data[offset] | (m_data[offset + 1] << 8));
}

DWORD CDevModeView::Dword(size_t offset) const
{
    if (!Holds(offset, 4)) return 0;
    return DWORD(m_data[offset]) | (DWORD(m_data[offset + 1]) << 8) | (DWORD(m_data[offset + 2]) << 16) |
           (DWORD(m_data[offset + 3]) << 24);
}

void DevModeSetWord(std::vector<std::uint8_t>& block, size_t offset, WORD value)
{
    if (offset > block.size() || block.size() - offset < 2) return;
    block[offset] = std::uint8_t(value & 0xFF);
    block[offset + 1] = std::uint8_t(value >> 8);
}

void DevModeSetDword(std::vector<std::uint8_t>& block, size_t offset, DWORD value)
{
    if (offset > block.size() || block.size() - offset < 4) return;
    for (int i = 0; i < 4; ++i) block[offset + size_t(i)] = std::uint8_t(value >> (8 * i));
}

namespace {

void MarkField(std::vector<std::uint8_t>& block, DWORD bit)
{
    const CDevModeView v(block);
    DevModeSetDword(block, devmode::kFields, v.Fields() | bit);
}

// A field counts as present only inside the block's own public part.
bool PublicHolds(const std::vector<std::uint8_t>& block, size_t offset)
{
    const CDevModeView v(block);
    return v.HasHeader() && offset + 2 <= v.PublicSize() && offset + 2 <= block.size();
}

}  // namespace

std::vector<std::uint8_t> MakeDevMode(std::string_view deviceName, WORD driverVersion, WORD driverExtra,
                                      WORD specVersion)
{
    std::vector<std::uint8_t> block(devmode::kPublicSize + driverExtra, 0);
    const size_t n = std::min(deviceName.size(), devmode::kDeviceNameSize - 1);
    std::copy_n(deviceName.begin(), n, block.begin());
    DevModeSetWord(block, devmode::kSpecVersion, specVersion);
    DevModeSetWord(block, devmode::kDriverVersion, driverVersion);
    DevModeSetWord(block, devmode::kSize, WORD(devmode::kPublicSize));
    DevModeSetWord(block, devmode::kDriverExtra, driverExtra);
    return block;
}

void DevModeSetOrientation(std::vector<std::uint8_t>& block, short orientation)
{
    if (!PublicHolds(block, devmode::kOrientation)) return;
    DevModeSetWord(block, devmode::kOrientation, WORD(orientation));
    MarkField(block, devmode::kFieldOrientation);
}

void DevModeSetPaper(std::vector<std::uint8_t>& block, short paperSize, short lengthTenthsMm, short widthTenthsMm)
{
    if (!PublicHolds(block, devmode::kPaperWidth)) return;
    DevModeSetWord(block, devmode::kPaperSize, WORD(paperSize));
    DWORD bits = devmode::kFieldPaperSize;
    if (lengthTenthsMm) {
        DevModeSetWord(block, devmode::kPaperLength, WORD(lengthTenthsMm));
        bits |= devmode::kFieldPaperLength;
    }
    if (widthTenthsMm) {
        DevModeSetWord(block, devmode::kPaperWidth, WORD(widthTenthsMm));
        bits |= devmode::kFieldPaperWidth;
    }
    MarkField(block, bits);
}

void DevModeSetResolution(std::vector<std::uint8_t>& block, short dpiX, short dpiY)
{
    if (!PublicHolds(block, devmode::kYResolution)) return;
    DevModeSetWord(block, devmode::kPrintQuality, WORD(dpiX));
    DevModeSetWord(block, devmode::kYResolution, WORD(dpiY));
    MarkField(block, devmode::kFieldPrintQuality | devmode::kFieldYResolution);
}

void DevModeSetCopies(std::vector<std::uint8_t>& block, short copies)
{
    if (!PublicHolds(block, devmode::kCopies)) return;
    DevModeSetWord(block, devmode::kCopies, WORD(copies));
    MarkField(block, devmode::kFieldCopies);
}

void DevModeSetFormName(std::vector<std::uint8_t>& block, std::string_view name)
{
    const CDevModeView v(block);
    if (!v.HasHeader() || devmode::kFormName + 32 > v.PublicSize() || devmode::kFormName + 32 > block.size()) return;
    const size_t n = std::min(name.size(), size_t(31));
    std::fill_n(block.begin() + devmode::kFormName, 32, std::uint8_t(0));
    std::copy_n(name.begin(), n, block.begin() + devmode::kFormName);
    MarkField(block, devmode::kFieldFormName);
}
