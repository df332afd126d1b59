#pragma once
// TPCL command text: pure functions of their arguments, used by
// CTpclDriver. Every command is framed "{" ... "|}" and ended by CR LF;
// positions and sizes are in tenths of a millimetre (callers pass
// hundredths and the text divides by ten).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class CDevModeView;
class CMonoBitmap;

// The TEC family of the printer catalogue.
inline constexpr int kTecFamily = 1;

// What the TEC system driver keeps in its private settings, as read.
struct TecDriverData {
    bool present = false;  // false: the printer settings hold no TEC block
    char ribbon = 0;
    char sensor = 0;
    char issueMode = 0;
    int speed = 0;
    int feedAdjust = 0;         // hundredths of a millimetre
    int backFeedAdjust = 0;
    int cutSetting = 0;         // 6000: cut
    int cutCount = 0;
    int cutPositionAdjust = 0;  // cut or strip position
    int darknessNoRibbon = 0;
    int darknessRibbon = 0;
    int adjustFlag = 0;         // 29: send the feed adjustments
    int graphicSetting = 0;
    int feedFlag = 0;           // 1: send the feed value
    int feedValue = 0;

    bool operator==(const TecDriverData&) const = default;
};

// Offsets inside the TEC driver's private block.
enum TecDriverOffset : size_t {
    TEC_RIBBON = 0x00,
    TEC_SENSOR = 0x01,
    TEC_ISSUE_MODE = 0x02,
    TEC_SPEED = 0x03,
    TEC_FEED_ADJUST = 0x04,
    TEC_BACK_FEED_ADJUST = 0x08,
    TEC_CUT_SETTING = 0x0C,
    TEC_CUT_COUNT = 0x10,
    TEC_CUT_POSITION_ADJUST = 0x14,
    TEC_DARKNESS_NO_RIBBON = 0x1C,
    TEC_DARKNESS_RIBBON = 0x20,
    TEC_ADJUST_FLAG = 0x2C,
    TEC_GRAPHIC_SETTING = 0x2D,
    TEC_FEED_FLAG = 0x2E,
    TEC_FEED_VALUE = 0x34,
};

// The TEC block of a system driver's settings: at 0x4F8 for spec version
// 0x400, 0x564 for 0x401; for any other version (or no settings at all)
// nothing is read and `present` stays false.
TecDriverData TecDriverDataFromDevMode(const CDevModeView& devMode);

// The printer a job goes to, as the catalogue knows it.
struct TpclPrinter {
    int family = 0;
    int model = 0;
};

// Quarter turns counter-clockwise to TPCL's rotation code (0, 3, 2, 1).
int TpclRotationCode(int turns);

// "{D<pitch>,<width>,<height>|}": the label pitch, the total width of the
// labels across and the label height, in hundredths of a millimetre.
std::string TpclSizeLine(int pitch, int width, int height);
// The adjustment lines of the setup ("AX" when the driver asks for it,
// "AY", then "U2"/"U1" when the feed flag is set) and "{C|}".
std::string TpclSetupAdjustments(const TecDriverData& data, const TpclPrinter& printer);
// The feed line after the issue command, or "" when the feed flag is not
// set; afterIssue reverses the direction letter of the setup's line.
std::string TpclFeedLine(const TecDriverData& data, bool afterIssue);

// The characters of the issue command.
int TpclCutInterval(const TecDriverData& data, int quantity);
char TpclSensorChar(const TecDriverData& data, const TpclPrinter& printer);
char TpclIssueModeChar(const TecDriverData& data);
char TpclSpeedChar(const TecDriverData& data, const TpclPrinter& printer);
char TpclRibbonChar(const TecDriverData& data, const TpclPrinter& printer);
// "{XS;I,<quantity>,<cut><sensor><mode><speed><ribbon>01|}", then the feed
// line when set, then "{C|}". quantity is 1 to 9999.
std::string TpclIssueLines(const TecDriverData& data, const TpclPrinter& printer, int quantity);

// The line commands of a box (x, y, width, height and pen in hundredths of
// a millimetre): rings of width 9 inside each other while the pen is
// thicker than the printer's widest line, then one ring of the rest.
std::string TpclBoxCommands(int x, int y, int width, int height, int pen);
// The line commands of a horizontal or vertical line whose box is (x, y,
// width, height) in hundredths of a millimetre: lines of width 9 side by
// side, then one of the rest.
std::string TpclLineCommands(int x, int y, int width, int height, bool horizontal);

// The graphic mode of the TEC driver's graphic setting: 0 and 4 nibbles,
// 1 and 5 raw bytes, 3 the compressed form.
int TpclGraphicMode(int graphicSetting);
// A bitmap (1 white, as CMonoBitmap holds it) as the data of a mode: the
// rows inverted so that 1 is black, padding bits cleared.
std::string TpclGraphicData(const CMonoBitmap& bitmap, int mode);
// The compressed form of rows of rowBytes bytes each (1 black).
std::string TpclCompressedRows(const std::uint8_t* rows, int rowBytes, int height);

// The first byte of field data that would end the field or start a
// command ("{", "|", "}", ESC, NUL, CR, LF), or npos. TPCL has no escape
// for them inside "=" data.
size_t TpclForbiddenByte(std::string_view data);
