#include "encoders/text_renderer.h"

namespace {
IBarcodeTextRenderer* g_renderer = nullptr;  // null: the default one
}

IBarcodeTextRenderer& BarcodeTextRenderer() { return g_renderer ? *g_renderer : DefaultBarcodeTextRenderer(); }

IBarcodeTextRenderer* SetBarcodeTextRenderer(IBarcodeTextRenderer* renderer)
{
    IBarcodeTextRenderer* old = g_renderer;
    g_renderer = renderer;
    return old;
}
