#include "encoders/frame.h"

#include <cstring>
#include <new>
#include <vector>

#include "encoders/messages.h"
#include "encoders/text_renderer.h"
#include "platform/message.h"

namespace {

struct ErrorInfo {
    std::uint32_t code;
    const char* name;
    const char* text;
};

const ErrorInfo kErrors[] = {
    {BCE_UNSUPPORTED_TYPE, "BCE_UNSUPPORTED_TYPE", kMsgUnsupportedType},
    {BCE_MODULE_TOO_SMALL, "BCE_MODULE_TOO_SMALL", kMsgModuleTooSmall},
    {BCE_HEIGHT_TOO_SMALL, "BCE_HEIGHT_TOO_SMALL", kMsgHeightTooSmall},
    {BCE_ILLEGAL_CHAR, "BCE_ILLEGAL_CHAR", kMsgIllegalChar},
    {BCE_BAD_RATIO, "BCE_BAD_RATIO", kMsgBadRatio},
    {BCE_BAD_LENGTH, "BCE_BAD_LENGTH", kMsgBadLength},
    {BCE_BAD_ROTATION, "BCE_BAD_ROTATION", kMsgBadRotation},
    {BCE_NO_MEMORY, "BCE_NO_MEMORY", kMsgNoMemory},
    {BCE_UNKNOWN, "BCE_UNKNOWN", kMsgUnknown},
    // The two-dimensional entries bring their own texts for these.
    {BCE_BAD_EC_LEVEL, "BCE_BAD_EC_LEVEL", nullptr},
    {BCE_BAD_ROW_COLUMN, "BCE_BAD_ROW_COLUMN", nullptr},
};

const ErrorInfo* FindError(std::uint32_t code)
{
    for (const auto& e : kErrors)
        if (e.code == code) return &e;
    return nullptr;
}

}  // namespace

const char* BarcodeErrorName(std::uint32_t code)
{
    const ErrorInfo* e = FindError(code);
    return e ? e->name : "";
}

const char* BarcodeErrorText(std::uint32_t code)
{
    const ErrorInfo* e = FindError(code);
    return e ? e->text : nullptr;
}

bool BarcodeSizeAllowed(long long width, long long height)
{
    if (width < 1 || height < 1 || width > kMaxBarcodeExtent || height > kMaxBarcodeExtent) return false;
    return (width + 15) / 16 * 2 * height <= kMaxBarcodeBytes;
}

CEncoderCall::CEncoderCall(IBarcodeTextRenderer* renderer) : m_renderer(renderer), m_caption(kVerovoCaption) {}

void CEncoderCall::SetCaptionName(std::string_view captionName)
{
    m_caption = kVerovoCaption;
    m_caption.append(captionName);
}

std::nullptr_t CEncoderCall::Fail(std::uint32_t code, const char* text)
{
    if (!text) text = BarcodeErrorText(code);
    m_error = code;
    m_errorText = text ? text : "";
    if (text) m_notices.push_back({true, text, m_caption});
    return nullptr;
}

void CEncoderCall::Warn(const char* text) { Warn(text, m_caption); }

void CEncoderCall::Warn(const char* text, const std::string& caption) { m_notices.push_back({false, text, caption}); }

IBarcodeTextRenderer& CEncoderCall::TextRenderer() const { return m_renderer ? *m_renderer : BarcodeTextRenderer(); }

BarBitmap ReportToErrorWord(const CEncoderCall& call, BarBitmap bitmap, std::uint32_t* errorWord)
{
    const std::uint32_t flags = errorWord ? *errorWord & (BCE_SHOW_ERRORS | BCE_SHOW_WARNINGS) : 0;
    for (const BarcodeNotice& n : call.Notices()) {
        if (n.error && (flags & BCE_SHOW_ERRORS)) KvMessageBox(n.text, MSG_OK | MSG_ICONERROR, n.caption);
        if (!n.error && (flags & BCE_SHOW_WARNINGS)) KvMessageBox(n.text, MSG_OK | MSG_ICONWARNING, n.caption);
    }
    if (errorWord) *errorWord = call.Error();
    return bitmap;
}

bool CheckRotation(CEncoderCall& call, int rotation)
{
    if (rotation == 0 || rotation == 90 || rotation == 180 || rotation == 270) return true;
    call.Fail(BCE_BAD_ROTATION);
    return false;
}

bool CheckModule(CEncoderCall& call, int narrow)
{
    if (narrow >= 1) return true;
    call.Fail(BCE_MODULE_TOO_SMALL);
    return false;
}

bool CheckHeight(CEncoderCall& call, int height)
{
    if (height >= 1) return true;
    call.Fail(BCE_HEIGHT_TOO_SMALL);
    return false;
}

BarBitmap RotateMirrorBitmap(const CMonoBitmap& src, int rotation, int mirror)
{
    if (src.IsEmpty()) return nullptr;
    if (rotation != 90 && rotation != 180 && rotation != 270) rotation = 0;
    if (mirror != 1 && mirror != 2) mirror = 0;
    const int w = src.Width();
    const int h = src.Height();
    const bool swap = rotation == 90 || rotation == 270;
    BarBitmap dst;
    try {
        dst = std::make_unique<CMonoBitmap>(swap ? h : w, swap ? w : h);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    // Every source pixel (x, y) is first mirrored to (mx, my), then rotated.
    // Only black pixels are carried over onto the white destination; whole
    // white bytes are skipped.
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* row = src.Row(y);
        const int my = mirror == 2 ? h - 1 - y : y;
        for (int xb = 0; xb * 8 < w; ++xb) {
            const std::uint8_t byte = row[xb];
            if (byte == 0xFF) continue;
            for (int bit = 0; bit < 8; ++bit) {
                const int x = xb * 8 + bit;
                if (x >= w) break;
                if (byte & (0x80 >> bit)) continue;
                const int mx = mirror == 1 ? w - 1 - x : x;
                int dx, dy;
                switch (rotation) {
                case 90: dx = my; dy = w - 1 - mx; break;
                case 180: dx = w - 1 - mx; dy = h - 1 - my; break;
                case 270: dx = h - 1 - my; dy = mx; break;
                default: dx = mx; dy = my; break;
                }
                dst->SetPixel(dx, dy, true);
            }
        }
    }
    return dst;
}

BarBitmap FinishSymbol(CEncoderCall& call, BarBitmap bitmap, int rotation, int mirror)
{
    if (!bitmap) return nullptr;
    if (rotation == 0 && mirror == 0) return bitmap;
    BarBitmap turned = RotateMirrorBitmap(*bitmap, rotation, mirror);
    if (!turned) return call.Fail(BCE_NO_MEMORY);
    return turned;
}

int MeasureResult(CSize& size, const BarBitmap& bitmap)
{
    if (!bitmap) {
        size = CSize(0, 0);
        return 0;
    }
    size = CSize(bitmap->Width(), bitmap->Height());
    return 1;
}
