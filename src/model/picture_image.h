#pragma once
// A picture in memory: one block holding a whole bitmap file image (file
// header, information header, colour table, pixel rows bottom row first),
// with the members read from its headers. Pictures of every file format are
// turned into this form when they are read; sizing, turning, mirroring,
// drawing and saving all work on the block. Screens here always show more
// than 16 bits per pixel, so no drawing palette is ever needed.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/types.h"

class CDC;
class QImage;

class CPictureImage {
public:
    CPictureImage() = default;
    CPictureImage(const CPictureImage& other) { CopyImage(other); }
    CPictureImage& operator=(const CPictureImage& other)
    {
        CopyImage(other);
        return *this;
    }

    // Reads a picture file. An empty path, or the path the image was read
    // from while it is not empty, succeeds without reading. Otherwise the
    // image is emptied and the file decoded; failure leaves it empty. When
    // error is given the failure's message is put there instead of being
    // shown; decoded tells whether the file was read anew.
    BOOL LoadFile(const std::string& path, std::string* error = nullptr, bool* decoded = nullptr);

    // Takes a bitmap file image. FALSE, leaving the image empty, when the
    // block is not one this system can work on. The source name is cleared.
    BOOL SetData(std::vector<std::uint8_t> block);
    const std::vector<std::uint8_t>& GetData() const { return m_data; }
    BOOL IsValid() const { return !m_data.empty(); }
    void Empty();

    // 90 turns the pixels a quarter turn counter-clockwise, 270 clockwise,
    // 180 half way; other values change nothing and give FALSE.
    BOOL RotateImage(int degrees);
    // Reverses every row's pixels; exchanges the rows top for bottom.
    BOOL MirrorImage();
    BOOL FlipImage();
    // Negative: 1 bit toggles, 24 and 32 bits complement every byte, 4 and 8
    // bits take the colour-table entry nearest to the complemented colour;
    // 16 bits stay as they are (FALSE).
    BOOL InvertImage();

    // Draws the picture stretched onto (x, y, width, height) of dc, its
    // white pixels left unpainted when transparent. mirror (1 horizontal,
    // 2 vertical) is in the object's axes, rotation its quarter turns; the
    // pixels of the image itself stay as they are.
    BOOL DrawImage(CDC* dc, int x, int y, int width, int height, BOOL transparent, int mirror, int rotation);
    // The pixels as a 32-bit image (null when empty).
    QImage ToQImage() const;

    void CopyImage(const CPictureImage& other);
    BOOL IsSameImage(const CPictureImage& other) const;

    // Colour-table entry i as a COLORREF (0 beyond the table).
    COLORREF GetPaletteColor(int i) const;
    // The pixel at (x, y), top row 0, as the raw value of its depth.
    DWORD GetPixel(int x, int y) const;

    // ---- members read from the headers ----
    int m_nWidth = 0;   // pixels
    int m_nHeight = 0;
    int m_nPlanes = 0;
    int m_nBitCount = 0;
    int m_nColors = 0;  // colour count by the depth; 0 above 15 bits
    int m_nNaturalWidth = 0;  // label units at the picture's own resolution
    int m_nNaturalHeight = 0;
    int m_nRotation = 0;      // degrees already turned into the pixels
    std::string m_strSource;  // the file last read; empty when set from memory

private:
    bool ReadHeaders();

    std::vector<std::uint8_t> m_data;
};

// Natural length in label units of pixels at a resolution in pixels per
// metre; 96 dots per inch when the resolution is 960 or less.
int PictureNaturalLength(int pixels, int pixelsPerMetre);
