// The "logo" example label: an 80 x 50 mm roll label with an embedded logo
// shown opaque, turned a quarter and transparent over black stripes, and
// mirrored beside a line of text, each stored with another coder.
#include "example_logo.h"

#include <QImage>
#include <QPainter>
#include <iterator>
#include <string>

#include "data/variable.h"
#include "model/document.h"
#include "model/drawline.h"
#include "model/drawpicture.h"
#include "model/drawrect.h"
#include "model/drawtext.h"
#include "platform/bitmap_file.h"

std::vector<std::uint8_t> MakeLogoPicture()
{
    constexpr int w = 240, h = 120;
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(Qt::NoPen);
        // The tag, pointing left, with its hole.
        p.setBrush(QColor(0x0E, 0x7C, 0x86));
        p.drawPolygon(QPolygon({QPoint(6, 60), QPoint(46, 12), QPoint(150, 12), QPoint(150, 108), QPoint(46, 108)}));
        p.setBrush(Qt::white);
        p.drawEllipse(QPoint(36, 60), 8, 8);
        // Bars across it.
        const int bars[] = {3, 2, 6, 2, 3, 4, 2, 8, 3, 2, 4, 3, 6, 2, 3};
        int x = 60;
        for (int i = 0; i < int(std::size(bars)); ++i) {
            if (i % 2 == 0) p.drawRect(x, 26, bars[i], 68);
            x += bars[i];
        }
        // The sun over a ground line.
        p.setBrush(QColor(0xF2, 0x9F, 0x05));
        p.drawEllipse(QPoint(198, 44), 26, 26);
        p.setBrush(QColor(0x1F, 0x2A, 0x44));
        p.drawRect(164, 86, 68, 14);
    }
    constexpr int ppm = 11811;  // 300 dots per inch
    std::vector<std::uint8_t> block = MakeBitmapFile(w, h, 24, {}, ppm, ppm);
    BitmapFileInfo info;
    ParseBitmapFile(block.data(), block.size(), &info);
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = block.data() + info.pixelOffset + std::size_t(h - 1 - y) * info.stride;
        const QRgb* src = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int px = 0; px < w; ++px)
            SetRowPixel(row, 24, px, DWORD(qRed(src[px])) << 16 | DWORD(qGreen(src[px])) << 8 | DWORD(qBlue(src[px])));
    }
    return block;
}

namespace {

CDrawPicture* AddLogo(CKVDoc& doc, const CRect& position, int compression)
{
    auto* logo = new CDrawPicture(position);
    logo->m_image.SetData(MakeLogoPicture());
    logo->m_nNaturalWidth = logo->m_image.m_nNaturalWidth;
    logo->m_nNaturalHeight = logo->m_image.m_nNaturalHeight;
    logo->m_nCompression = compression;
    doc.AddObject(logo);
    return logo;
}

}  // namespace

bool BuildLogoExample(CKVDoc& doc)
{
    if (!doc.ApplyPaperDefinition("Roll 80x50=1,80,50,1,2,3,0,0,0,0,0,0,0")) return false;
    doc.m_format.m_nQuantity = 1;
    auto* frame = new CDrawRect(CRect(100, 100, 7900, 4900));
    frame->m_nShape = SHAPE_ROUNDRECT;
    frame->m_nThickness = 40;
    doc.AddObject(frame);

    // Twice its natural size, opaque, saved with LZSS.
    AddLogo(doc, CRect(400, 400, 4464, 2432), 2);

    // Turned a quarter and transparent over black stripes, saved with LZW.
    for (int y = 700; y < 4500; y += 700) {
        auto* stripe = new CDrawLine(CRect(5000, y, 7600, y + 250));
        stripe->m_nDirection = LINE_HORIZONTAL;
        stripe->m_nThickness = 250;
        doc.AddObject(stripe);
    }
    CDrawPicture* turned = AddLogo(doc, CRect(5284, 484, 7316, 1500), 1);
    turned->Rotate(1, 6300, 1500, nullptr);
    turned->m_nBackground = 1;
    turned->m_nSizeMode = PIC_FIT;
    turned->m_position = CRect(5300, 600, 7300, 4400);
    turned->RecalcSize();

    // Mirrored at its natural size, saved with adaptive Huffman, beside a
    // line of text.
    CDrawPicture* mirrored = AddLogo(doc, CRect(400, 2800, 2432, 3816), 3);
    mirrored->m_dwFlags |= 0x10;
    auto* caption = new CDrawText(CRect(2700, 3050, 4700, 3550));
    caption->m_nFontHeight = 1000;
    caption->m_nStyle = TS_BOLD;
    doc.AddObject(caption);
    auto* text = new CVariable;
    text->m_strName = "Text" + std::to_string(caption->m_nID);
    text->m_strData = "Fresh daily";
    doc.AddVariable(text);
    caption->AddVariable(text);

    auto* rule = new CDrawLine(CRect(400, 4200, 4600, 4230));
    rule->m_nDirection = LINE_HORIZONTAL;
    rule->m_nThickness = 30;
    doc.AddObject(rule);
    return true;
}
