#include "model/drawpicture.h"

#include <utility>

#include "model/document.h"
#include "model/packstream.h"
#include "platform/dc.h"
#include "platform/message.h"
#include "platform/strutil.h"
#include "model/placeholder_picture.h"
#include "resources/strings.h"

KV_IMPLEMENT_SERIAL(CDrawPicture, CDrawObj, 0)

namespace {

int QuarterTurns(int rotation) { return ((rotation % 4) + 4) % 4; }

}  // namespace

CDrawPicture::CDrawPicture() : CDrawPicture(CRect()) {}

CDrawPicture::CDrawPicture(const CRect& position) : CDrawObj(position)
{
    m_nType = OBJ_PICTURE;
    m_nBackground = 0;  // pictures start opaque
    m_image.SetData(PlaceholderPicture());
    m_nNaturalWidth = m_image.m_nNaturalWidth;
    m_nNaturalHeight = m_image.m_nNaturalHeight;
}

// ---- storage -------------------------------------------------------------

void CDrawPicture::Serialize(CArchive& ar)
{
    CDrawObj::Serialize(ar);
    ar.Exchange(m_nSource);
    ar.Exchange(m_strFileName);
    ar.Exchange(m_nSizeMode);
    ar.Exchange(m_bKeepRatio);
    ar.Exchange(m_nNaturalWidth);
    ar.Exchange(m_nNaturalHeight);
    ar.Exchange(m_nEffects);
    ar.Exchange(m_nMissingAction);
    ar.Exchange(m_nPictureReserved);
    ar.Exchange(m_nAlignment);
    if (m_nSource != PIC_EMBEDDED) return;

    if (ar.IsStoring()) {
        const std::vector<std::uint8_t>& data = m_image.GetData();
        int compression = m_nCompression;
        std::vector<std::uint8_t> packed;
        if (!data.empty()) {
            std::optional<std::vector<std::uint8_t>> coded = PackBlock(compression, data.data(), data.size());
            if (coded) {
                packed = std::move(*coded);
            } else {
                // Too big for the coder's output block: stored as it is.
                compression = 0;
                packed = data;
            }
        }
        ar.WriteInt(compression);
        ar.WriteDword(DWORD(packed.size()));
        ar.Write(packed.data(), packed.size());
        m_nStoredSize = std::int32_t(packed.size());
        return;
    }

    m_nCompression = ar.ReadInt();
    const DWORD n = ar.ReadDword();
    m_nStoredSize = std::int32_t(n);
    if (n == 0) return;  // no pixels: the image stays as it was
    if (n > ar.Remaining()) throw CArchiveException(CArchiveException::endOfFile);
    std::vector<std::uint8_t> bytes(n);
    ar.Read(bytes.data(), n);
    std::vector<std::uint8_t> block;
    if (m_nCompression >= CPackStream::compressLzw && m_nCompression <= CPackStream::compressHuffman) {
        CUnpackResult r = UnpackBlock(m_nCompression, bytes.data(), bytes.size());
        if (r.status != CUnpackResult::ok) throw CArchiveException(CArchiveException::badPicture);
        block = std::move(r.data);
    } else {
        block = std::move(bytes);
    }
    if (!m_image.SetData(std::move(block))) throw CArchiveException(CArchiveException::badPicture);
    // The saved pixels are the picture as shown, turned by the object.
    m_image.m_nRotation = QuarterTurns(m_nRotation) * 90;
}

BOOL CDrawPicture::ExportText(std::string& out, int& index)
{
    if (m_nSource != PIC_LINKED) return FALSE;
    const CRect r = m_position.Normalized();
    int x = r.left, y = r.top, first = r.Width(), second = r.Height();
    switch (QuarterTurns(m_nRotation)) {
    case 1: y = r.bottom; first = r.Height(); second = r.Width(); break;
    case 2: x = r.right; y = r.bottom; break;
    case 3: x = r.right; first = r.Height(); second = r.Width(); break;
    default: break;
    }
    out += StrFormat("Picture%d =  %d,%d,%d,%d,%d,\"%s\"\n", index, x / 10, y / 10, first / 10, second / 10,
                     m_nRotation, m_strFileName.c_str());
    ++index;
    return TRUE;
}

CDrawObj* CDrawPicture::Clone(CKVDoc* doc) { return CloneInto(new CDrawPicture(m_position), doc); }

void CDrawPicture::CopyFrom(const CDrawObj* src)
{
    CDrawObj::CopyFrom(src);
    const auto* s = dynamic_cast<const CDrawPicture*>(src);
    if (!s || s == this) return;
    m_nSource = s->m_nSource;
    m_strFileName = s->m_strFileName;
    m_nSizeMode = s->m_nSizeMode;
    m_bKeepRatio = s->m_bKeepRatio;
    m_nNaturalWidth = s->m_nNaturalWidth;
    m_nNaturalHeight = s->m_nNaturalHeight;
    m_nEffects = s->m_nEffects;
    m_nMissingAction = s->m_nMissingAction;
    m_nPictureReserved = s->m_nPictureReserved;
    m_nAlignment = s->m_nAlignment;
    m_nCompression = s->m_nCompression;
    m_nStoredSize = s->m_nStoredSize;
    m_image.CopyImage(s->m_image);
}

BOOL CDrawPicture::IsEqual(const CDrawObj* other) const
{
    if (other == this) return TRUE;
    const auto* o = dynamic_cast<const CDrawPicture*>(other);
    return o && CDrawObj::IsEqual(other) && m_nSource == o->m_nSource && m_strFileName == o->m_strFileName &&
           m_nSizeMode == o->m_nSizeMode && m_bKeepRatio == o->m_bKeepRatio &&
           m_nNaturalWidth == o->m_nNaturalWidth && m_nNaturalHeight == o->m_nNaturalHeight &&
           m_nEffects == o->m_nEffects && m_nMissingAction == o->m_nMissingAction &&
           m_nPictureReserved == o->m_nPictureReserved && m_nAlignment == o->m_nAlignment &&
           m_nCompression == o->m_nCompression && m_nStoredSize == o->m_nStoredSize &&
           m_image.IsSameImage(o->m_image);
}

// ---- geometry ------------------------------------------------------------

void CDrawPicture::PlaceByAlignment(CRect& r, int w, int h, int alignment)
{
    if (alignment < 0 || alignment > 8) return;
    const int W = r.Width(), H = r.Height();
    if (w != W) {
        switch (alignment) {
        case PIC_ALIGN_CENTER:
        case PIC_ALIGN_TOP_CENTER:
        case PIC_ALIGN_BOTTOM_CENTER:
            r.left += (W - w) / 2;
            r.right = r.left + w;
            break;
        case PIC_ALIGN_TOP_RIGHT:
        case PIC_ALIGN_RIGHT_CENTER:
        case PIC_ALIGN_RIGHT_BOTTOM: r.left = r.right - w; break;
        default: r.right = r.left + w; break;
        }
    }
    if (h != H) {
        switch (alignment) {
        case PIC_ALIGN_LEFT_TOP:
        case PIC_ALIGN_TOP_CENTER:
        case PIC_ALIGN_TOP_RIGHT: r.bottom = r.top + h; break;
        case PIC_ALIGN_RIGHT_BOTTOM:
        case PIC_ALIGN_BOTTOM_CENTER:
        case PIC_ALIGN_LEFT_BOTTOM: r.top = r.bottom - h; break;
        default:
            r.top += (H - h) / 2;
            r.bottom = r.top + h;
            break;
        }
    }
}

void CDrawPicture::ApplyEffects(CPictureImage& image) const
{
    if (m_nEffects & PIC_MIRROR) image.MirrorImage();
    if (m_nEffects & PIC_UPSIDE_DOWN) image.FlipImage();
    if (m_nEffects & PIC_NEGATIVE) image.InvertImage();
}

std::string CDrawPicture::LabelPictureFile(CLabelPos* pos)
{
    const std::string text = GetLabelText(pos);
    if (text.empty()) return text;
    return m_pDocument ? m_pDocument->ResolvePath(text) : CKVDoc::ResolvePathFrom(std::string(), text);
}

BOOL CDrawPicture::LoadLabelPicture(CLabelPos* pos, CPictureImage& image, std::string* error)
{
    std::string message;
    bool fresh = false;
    const std::string file = LabelPictureFile(pos);
    if (file.empty() || !image.LoadFile(file, &message, &fresh) || !image.IsValid()) {
        if (error) *error = message;
        image.Empty();
        return FALSE;
    }
    image.RotateImage(QuarterTurns(m_nRotation) * 90);
    if (fresh) ApplyEffects(image);
    return TRUE;
}

BOOL CDrawPicture::OnMissingPicture(const std::string& file)
{
    // One message per job: once it stops, the other pictures say nothing.
    if (m_pDocument && m_pDocument->m_bStopPrinting) return FALSE;
    switch (m_nMissingAction) {
    case PIC_MISSING_ABORT:
        KvMessageBox(StrFormat(LoadKvString(IDS_PICTURE_MISSING_ABORT).c_str(), file.c_str()), MSG_OK | MSG_ICONERROR);
        if (m_pDocument) m_pDocument->m_bStopPrinting = true;
        return FALSE;
    case PIC_MISSING_ASK:
        if (KvMessageBox(StrFormat(LoadKvString(IDS_PICTURE_MISSING_ASK).c_str(), file.c_str()),
                         MSG_YESNO | MSG_ICONQUESTION) != ID_YES &&
            m_pDocument)
            m_pDocument->m_bStopPrinting = true;
        return FALSE;
    case PIC_MISSING_MARK: return TRUE;
    default: return FALSE;
    }
}

void CDrawPicture::RecalcSize()
{
    m_position.NormalizeRect();
    const auto resolve = [this](const std::string& name) {
        return m_pDocument ? m_pDocument->ResolvePath(name) : CKVDoc::ResolvePathFrom(std::string(), name);
    };
    bool fresh = false;
    switch (m_nSource) {
    case PIC_EMBEDDED:
        if (!m_strFileName.empty()) {
            if (!m_image.LoadFile(m_strFileName, nullptr, &fresh)) m_image.Empty();
            m_strFileName.clear();
        }
        break;
    case PIC_LINKED:
        if (!m_image.LoadFile(m_strFileName, nullptr, &fresh)) {
            // Not at its stored place: look for the same name beside the document.
            const size_t cut = m_strFileName.find_last_of("\\/:");
            const std::string resolved = resolve(cut == std::string::npos ? m_strFileName : m_strFileName.substr(cut + 1));
            if (m_image.LoadFile(resolved, nullptr, &fresh) && m_image.IsValid())
                m_strFileName = resolved;
            else if (!m_strFileName.empty())
                m_image.Empty();
        }
        break;
    case PIC_DATA_SOURCE:
        if (!m_image.LoadFile(resolve(GetText()), nullptr, &fresh)) m_image.Empty();
        break;
    default: break;
    }
    if (!m_image.IsValid()) return;

    const int want = QuarterTurns(m_nRotation) * 90;
    if (m_image.m_nRotation != want) m_image.RotateImage((want - m_image.m_nRotation + 360) % 360);
    // Effects are applied once, to the picture as it is read from its file.
    if (fresh) ApplyEffects(m_image);

    const int W0 = m_nNaturalWidth, H0 = m_nNaturalHeight;
    const int W1 = m_image.m_nNaturalWidth, H1 = m_image.m_nNaturalHeight;
    m_nNaturalWidth = W1;
    m_nNaturalHeight = H1;
    const int W = m_position.Width(), H = m_position.Height();
    int w = W, h = H;
    switch (m_nSizeMode) {
    case PIC_ORIGINAL_SIZE:
        w = W1;
        h = H1;
        break;
    case PIC_SCALE:
        // The old picture's scale carries over (a picture without a
        // natural size before takes its own).
        w = W0 > 0 ? MulDiv(W1, W, W0) : W1;
        h = H0 > 0 ? MulDiv(H1, H, H0) : H1;
        break;
    case PIC_FIT:
        if (m_bKeepRatio && W1 > 0 && H1 > 0) {
            const int sx = MulDiv(W, 10000, W1), sy = MulDiv(H, 10000, H1);
            if (sy < sx) {
                w = MulDiv(H, W1, H1);
                h = H;
            } else {
                w = W;
                h = MulDiv(W, H1, W1);
            }
        }
        break;
    default: break;
    }
    PlaceByAlignment(m_position, w, h, m_nAlignment);
}

void CDrawPicture::Rotate(int q, int cx, int cy, const CRect* newLabel)
{
    const int turns = QuarterTurns(q);
    if (turns) m_image.RotateImage(turns * 90);
    if (turns % 2) std::swap(m_nNaturalWidth, m_nNaturalHeight);
    CDrawObj::Rotate(q, cx, cy, newLabel);
}

void CDrawPicture::MoveHandleTo(int handle, CPoint pt, CKVView* view)
{
    if (m_nSizeMode == PIC_ORIGINAL_SIZE) return;
    if (!m_bKeepRatio || m_nNaturalWidth <= 0 || m_nNaturalHeight <= 0) {
        CDrawObj::MoveHandleTo(handle, pt, view);
        return;
    }
    if (handle < 1 || handle > 8) handle = 1;
    CRect r = m_position;
    MoveRectHandle(r, handle, pt);
    const float W1 = float(m_nNaturalWidth), H1 = float(m_nNaturalHeight);
    const float sx = float(r.right - r.left) / W1, sy = float(r.bottom - r.top) / H1;
    if (sx != sy) {
        const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
        const int byHeight = int(W1 * sy), byWidth = int(H1 * sx);
        switch (handle) {
        case 1:
            if (sx > sy) r.left = r.right - byHeight; else r.top = r.bottom - byWidth;
            break;
        case 3:
            if (sx > sy) r.right = r.left + byHeight; else r.top = r.bottom - byWidth;
            break;
        case 5:
            if (sx > sy) r.right = r.left + byHeight; else r.bottom = r.top + byWidth;
            break;
        case 7:
            if (sx > sy) r.left = r.right - byHeight; else r.bottom = r.top + byWidth;
            break;
        case 2:
        case 6:
            r.left = cx - byHeight / 2;
            r.right = cx + byHeight / 2;
            break;
        default:
            r.top = cy - byWidth / 2;
            r.bottom = cy + byWidth / 2;
            break;
        }
    }
    MoveTo(r, view);
}

void CDrawPicture::GetPrintRect(CDC* dc, CLabelPos* pos, CRect* out, BOOL flag)
{
    CDrawObj::GetPrintRect(dc, pos, out, flag);
    if (m_nSource != PIC_DATA_SOURCE) return;
    CPictureImage image;
    if (!LoadLabelPicture(pos, image)) return;
    const int dpiX = dc ? dc->GetDeviceCaps(LOGPIXELSX) : FormatDpiX();
    const int dpiY = dc ? dc->GetDeviceCaps(LOGPIXELSY) : FormatDpiY();
    const int W1d = UnitsToDots(image.m_nNaturalWidth, dpiX), H1d = UnitsToDots(image.m_nNaturalHeight, dpiY);
    const int wd = out->Width(), hd = out->Height();
    const CRect p = m_position.Normalized();
    int w = W1d, h = H1d;
    switch (m_nSizeMode) {
    case PIC_SCALE:
        w = m_nNaturalWidth > 0 ? MulDiv(W1d, p.Width(), m_nNaturalWidth) : W1d;
        h = m_nNaturalHeight > 0 ? MulDiv(H1d, p.Height(), m_nNaturalHeight) : H1d;
        break;
    case PIC_FIT:
        if (!m_bKeepRatio || W1d <= 0 || H1d <= 0) {
            w = wd;
            h = hd;
        } else if (MulDiv(hd, 10000, H1d) >= MulDiv(wd, 10000, W1d)) {
            w = wd;
            h = MulDiv(H1d, wd, W1d);
        } else {
            w = MulDiv(W1d, hd, H1d);
            h = hd;
        }
        break;
    default: break;
    }
    PlaceByAlignment(*out, w, h, m_nAlignment);
}
