#pragma once
// Turns picture files into bitmap file images in memory. GraphicsMagick
// decodes bmp, gif, jpg/jpeg, png, ico, tif/tiff, tga, pcx, wbmp, wmf,
// pnm/pgm/ppm and ras; OpenJPEG decodes the JPEG 2000 files (jp2, j2k,
// jpc, j2c); pgx (the JPEG 2000 test picture format, one raw component) is
// read here. Transparent and partly transparent pixels are laid on white,
// the colour the drawing code leaves unpainted. Images with a colour table
// of up to 256 entries, and grey images, keep a colour table (1, 4 or 8
// bits per pixel); the others become 24 bits per pixel.
#include <cstdint>
#include <string>
#include <vector>

enum class PictureFormat {
    Unknown,
    Bmp,
    Gif,
    Jpeg,
    Png,
    Ico,
    Tiff,
    Tga,
    Pcx,
    Wbmp,
    Wmf,
    Emf,
    Jp2,
    J2k,
    Pgx,
    Pnm,
    Ras,
};

// The extension of a path: the text after the last "." of its file name,
// lower case; empty when the name has none.
std::string PictureExtension(const std::string& path);
// The format an extension selects.
PictureFormat PictureFormatOf(const std::string& extension);

// Pictures of more pixels than this are refused rather than decoded.
inline constexpr std::uint64_t kMaxPicturePixels = std::uint64_t(64) * 1024 * 1024;

// Decodes the file at path, by the format its extension selects, into a
// whole bitmap file image. On failure returns false with the message to
// show in error, naming the file and the format; error stays empty when
// the name has no extension or the file does not exist (nothing to tell
// beyond its absence).
bool DecodePictureFile(const std::string& path, std::vector<std::uint8_t>* bitmapFile, std::string* error);

// The same for bytes already read (name is used in messages only).
bool DecodePictureBytes(const std::string& name, PictureFormat format, const std::vector<std::uint8_t>& bytes,
                        std::vector<std::uint8_t>* bitmapFile, std::string* error);
