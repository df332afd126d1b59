// Cost of a text object's per-label work: the bitmap a label printer gets
// for a single line of variable text, the same text printed on a page, and
// wrapping a long text into lines. Per-label variable text repeats these
// for every label of a run.
#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <cstdlib>

#include "data/variable.h"
#include "model/document.h"
#include "model/drawtext.h"
#include "platform/codepage.h"
#include "platform/dc.h"
#include "platform/monobitmap.h"

namespace {

struct Label {
    CKVDoc doc;
    CDrawText* text = nullptr;
    explicit Label(const std::string& data, int layout = TEXT_SINGLE_LINE)
    {
        doc.m_format.m_nHDpi = doc.m_format.m_nVDpi = 203;
        doc.ReloadPrinterFonts();
        text = new CDrawText(CRect(500, 500, 7500, 1000));
        text->m_nLayout = layout;
        text->m_nFontHeight = 1200;
        doc.AddObject(text);
        auto* v = new CVariable;
        v->m_strData = data;
        doc.AddVariable(v);
        text->AddVariable(v);
        text->RecalcSize();
    }
};

void TextBitmap(benchmark::State& state)
{
    Label label("SN 0123456789 LOT 42 / 2026");
    CLabelPos pos;
    for (auto _ : state) {
        auto bmp = label.text->CreatePrintBitmap(&pos, FALSE);
        benchmark::DoNotOptimize(bmp);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(TextBitmap);

void TextOnPage(benchmark::State& state)
{
    Label label("SN 0123456789 LOT 42 / 2026");
    auto page = CDC::CreatePrinterPage(800, 400, 203, 203);
    CLabelPos pos;
    for (auto _ : state) label.text->Print(page.get(), &pos, nullptr, FALSE);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(TextOnPage);

void WrapLongText(benchmark::State& state)
{
    std::string data;
    for (int i = 0; i < state.range(0); ++i) data += "word ";
    Label label(data, TEXT_MULTI_LINE);
    for (auto _ : state) label.text->RecalcSize();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(WrapLongText)->Arg(20)->Arg(200);

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    SetAnsiCodePage(1252);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
