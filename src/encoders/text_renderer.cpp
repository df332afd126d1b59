#include "encoders/text_renderer.h"

#include "platform/mono_text.h"

namespace {

IBarcodeTextRenderer* g_renderer = nullptr;  // null: the default one

MonoTextFont ToMono(const BarcodeFont& f) { return MonoTextFont{f.face, f.height, f.width}; }

// The platform's monochrome text.
class CPlatformTextRenderer : public IBarcodeTextRenderer {
public:
    int TextWidth(const BarcodeFont& font, std::string_view text) override { return MonoTextWidth(ToMono(font), text); }
    bool DrawText(CMonoBitmap& bitmap, int x, int y, const BarcodeFont& font, std::string_view text) override
    {
        return DrawMonoText(bitmap, x, y, ToMono(font), text);
    }
};

}  // namespace

IBarcodeTextRenderer& DefaultBarcodeTextRenderer()
{
    static CPlatformTextRenderer renderer;
    return renderer;
}

IBarcodeTextRenderer& BarcodeTextRenderer() { return g_renderer ? *g_renderer : DefaultBarcodeTextRenderer(); }

IBarcodeTextRenderer* SetBarcodeTextRenderer(IBarcodeTextRenderer* renderer)
{
    IBarcodeTextRenderer* old = g_renderer;
    g_renderer = renderer;
    return old;
}
