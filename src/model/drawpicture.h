#pragma once
// A picture on the label: embedded (its pixels saved in the document,
// compressed), linked (only its file name saved, the file read again on
// refresh) or from the data source (the object's data names the file, read
// for every label). The picture in memory is a CPictureImage.
#include "model/drawobj.h"
#include "model/picture_image.h"

enum PictureSource : int { PIC_EMBEDDED = 0, PIC_LINKED = 1, PIC_DATA_SOURCE = 2 };
enum PictureSizeMode : int { PIC_ORIGINAL_SIZE = 0, PIC_SCALE = 1, PIC_FIT = 2 };
enum PictureEffect : int { PIC_MIRROR = 1, PIC_UPSIDE_DOWN = 2, PIC_NEGATIVE = 4 };
// What printing does when a picture cannot be read for a label.
enum PictureMissingAction : int { PIC_MISSING_ABORT = 0, PIC_MISSING_ASK = 1, PIC_MISSING_MARK = 2, PIC_MISSING_IGNORE = 3 };
// The anchor kept when the picture's size changes.
enum PictureAlignment : int {
    PIC_ALIGN_CENTER = 0,
    PIC_ALIGN_LEFT_TOP = 1,
    PIC_ALIGN_TOP_CENTER = 2,
    PIC_ALIGN_TOP_RIGHT = 3,
    PIC_ALIGN_RIGHT_CENTER = 4,
    PIC_ALIGN_RIGHT_BOTTOM = 5,
    PIC_ALIGN_BOTTOM_CENTER = 6,
    PIC_ALIGN_LEFT_BOTTOM = 7,
    PIC_ALIGN_LEFT_CENTER = 8,
};

class CDrawPicture : public CDrawObj {
    KV_DECLARE_SERIAL(CDrawPicture)
public:
    CDrawPicture();
    explicit CDrawPicture(const CRect& position);

    void Serialize(CArchive& ar) override;
    BOOL ExportText(std::string& out, int& index) override;
    CDrawObj* Clone(CKVDoc* doc) override;
    void GetPrintRect(CDC* dc, CLabelPos* pos, CRect* out, BOOL flag) override;
    void Rotate(int quarterTurns, int cx, int cy, const CRect* newLabel) override;
    void RecalcSize() override;
    void MoveHandleTo(int handle, CPoint pt, CKVView* view) override;
    std::unique_ptr<CMonoBitmap> CreatePrintBitmap(CLabelPos* pos, BOOL flag) override;
    void Draw(CKVView* view, CDC* dc) override;
    void Print(CDC* dc, CLabelPos* pos, const CPoint* labelOrigin, BOOL flag) override;
    void CopyFrom(const CDrawObj* src) override;
    BOOL IsEqual(const CDrawObj* other) const override;

    // Reads the picture of one label (data-source pictures) into image,
    // turned by the object's rotation and with its effects. No message is
    // shown; error gets the decoder's message when there is one.
    BOOL LoadLabelPicture(CLabelPos* pos, CPictureImage& image, std::string* error = nullptr);
    // The file a data-source picture reads for the label.
    std::string LabelPictureFile(CLabelPos* pos);

    // What printing does for a label whose picture file cannot be read, by
    // the missing-picture action: TRUE when the crossed-out mark is to be
    // printed in its place. "Abort Printing" tells the user and stops the
    // job; "Quare" asks whether to go on without the picture and stops the
    // job unless the answer is Yes.
    BOOL OnMissingPicture(const std::string& file);

    // Places a size by the alignment in a rectangle of the old size.
    static void PlaceByAlignment(CRect& r, int w, int h, int alignment);

    // ---- fields ----
    std::int32_t m_nSource = PIC_EMBEDDED;
    std::string m_strFileName;
    std::int32_t m_nSizeMode = PIC_SCALE;
    std::int32_t m_bKeepRatio = 1;
    std::int32_t m_nNaturalWidth = 0;  // label units
    std::int32_t m_nNaturalHeight = 0;
    std::int32_t m_nEffects = 0;
    std::int32_t m_nMissingAction = PIC_MISSING_IGNORE;
    std::int32_t m_nPictureReserved = 0;
    std::int32_t m_nAlignment = PIC_ALIGN_CENTER;
    std::int32_t m_nCompression = 2;
    std::int32_t m_nStoredSize = 0;  // picture bytes of the last save or load
    CPictureImage m_image;

    // The outline of r with both diagonals: a picture that cannot be shown.
    static void DrawCrossedBox(CDC* dc, const CRect& r);

private:
    void ApplyEffects(CPictureImage& image) const;
};
