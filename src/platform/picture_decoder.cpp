#include "platform/picture_decoder.h"

#include <Magick++.h>
#include <openjpeg.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/bitmap_file.h"
#include "platform/fileio.h"
#include "platform/strutil.h"
#include "platform/types.h"
#include "resources/strings.h"

namespace {

// Decoded pixels on their way to a bitmap file image, top row first.
struct Raster {
    int width = 0;
    int height = 0;
    int ppmX = 0;
    int ppmY = 0;
    bool indexed = false;
    std::vector<COLORREF> palette;   // indexed: the colours
    std::vector<std::uint8_t> index; // indexed: one entry per pixel
    std::vector<std::uint8_t> rgb;   // direct: red, green, blue per pixel
};

// A colour of some opacity laid on white (alpha 0..255, 255 opaque).
std::uint8_t OnWhite(int value, int alpha) { return std::uint8_t((value * alpha + 255 * (255 - alpha) + 127) / 255); }

// Reads whole samples of prec bits (signed or not) as 0..255.
int ScaleSample(std::int64_t v, int prec, bool sgnd)
{
    if (prec <= 0 || prec > 31) return 0;
    if (sgnd) v += std::int64_t(1) << (prec - 1);
    const std::int64_t max = (std::int64_t(1) << prec) - 1;
    v = std::clamp<std::int64_t>(v, 0, max);
    return int((v * 255 + max / 2) / max);
}

std::vector<std::uint8_t> BitmapFromRaster(const Raster& r)
{
    if (r.indexed) {
        const size_t n = r.palette.size();
        const int bits = n <= 2 ? 1 : n <= 16 ? 4 : 8;
        std::vector<std::uint8_t> b = MakeBitmapFile(r.width, r.height, bits, r.palette, r.ppmX, r.ppmY);
        BitmapFileInfo info;
        if (b.empty() || !ParseBitmapFile(b.data(), b.size(), &info)) return {};
        for (int y = 0; y < r.height; ++y) {
            std::uint8_t* row = b.data() + info.pixelOffset + size_t(r.height - 1 - y) * info.stride;
            const std::uint8_t* src = r.index.data() + size_t(y) * size_t(r.width);
            for (int x = 0; x < r.width; ++x) SetRowPixel(row, bits, x, src[x]);
        }
        return b;
    }

    // Grey pictures keep a table: black and white only in 1 bit, other
    // greys in 8 bits.
    bool grey = true, twoLevels = true;
    const size_t count = size_t(r.width) * size_t(r.height);
    for (size_t i = 0; i < count && grey; ++i) {
        const std::uint8_t* p = &r.rgb[i * 3];
        grey = p[0] == p[1] && p[1] == p[2];
        twoLevels = twoLevels && (p[0] == 0 || p[0] == 255);
    }
    if (grey) {
        const int bits = twoLevels ? 1 : 8;
        std::vector<COLORREF> palette;
        if (twoLevels)
            palette = {RGBColor(0, 0, 0), RGBColor(255, 255, 255)};
        else
            for (int g = 0; g < 256; ++g) palette.push_back(RGBColor(g, g, g));
        std::vector<std::uint8_t> b = MakeBitmapFile(r.width, r.height, bits, palette, r.ppmX, r.ppmY);
        BitmapFileInfo info;
        if (b.empty() || !ParseBitmapFile(b.data(), b.size(), &info)) return {};
        for (int y = 0; y < r.height; ++y) {
            std::uint8_t* row = b.data() + info.pixelOffset + size_t(r.height - 1 - y) * info.stride;
            const std::uint8_t* src = r.rgb.data() + size_t(y) * size_t(r.width) * 3;
            for (int x = 0; x < r.width; ++x) SetRowPixel(row, bits, x, twoLevels ? src[x * 3] / 255 : src[x * 3]);
        }
        return b;
    }

    std::vector<std::uint8_t> b = MakeBitmapFile(r.width, r.height, 24, {}, r.ppmX, r.ppmY);
    BitmapFileInfo info;
    if (b.empty() || !ParseBitmapFile(b.data(), b.size(), &info)) return {};
    for (int y = 0; y < r.height; ++y) {
        std::uint8_t* row = b.data() + info.pixelOffset + size_t(r.height - 1 - y) * info.stride;
        const std::uint8_t* src = r.rgb.data() + size_t(y) * size_t(r.width) * 3;
        for (int x = 0; x < r.width; ++x) {
            row[x * 3] = src[x * 3 + 2];
            row[x * 3 + 1] = src[x * 3 + 1];
            row[x * 3 + 2] = src[x * 3];
        }
    }
    return b;
}

// ---- GraphicsMagick ----------------------------------------------------

void EnsureMagick()
{
    static std::once_flag once;
    std::call_once(once, [] {
        Magick::InitializeMagick(nullptr);
        // Decoding stops early for pictures too large to hold.
        MagickLib::SetMagickResourceLimit(MagickLib::PixelsResource, kMaxPicturePixels);
    });
}

const char* MagickName(PictureFormat f)
{
    switch (f) {
    case PictureFormat::Bmp: return "BMP";
    case PictureFormat::Gif: return "GIF";
    case PictureFormat::Jpeg: return "JPEG";
    case PictureFormat::Png: return "PNG";
    case PictureFormat::Ico: return "ICO";
    case PictureFormat::Tiff: return "TIFF";
    case PictureFormat::Tga: return "TGA";
    case PictureFormat::Pcx: return "PCX";
    case PictureFormat::Wbmp: return "WBMP";
    case PictureFormat::Wmf: return "WMF";
    case PictureFormat::Pnm: return "PNM";
    case PictureFormat::Ras: return "SUN";
    default: return nullptr;
    }
}

int Quantum8(Magick::Quantum q) { return int((unsigned(q) * 255u + MaxRGB / 2) / MaxRGB); }

bool DecodeWithMagick(PictureFormat format, const std::vector<std::uint8_t>& bytes, Raster* out, std::string* why)
{
    EnsureMagick();
    try {
        Magick::Image img;
        img.quiet(true);  // warnings do not stop a picture that decoded
        img.subImage(0);
        img.subRange(1);  // the first frame or page
        img.magick(MagickName(format));
        img.backgroundColor(Magick::Color("white"));
        img.read(Magick::Blob(bytes.data(), bytes.size()));
        if (!img.isValid() || img.columns() == 0 || img.rows() == 0) {
            *why = "no picture in the file";
            return false;
        }
        const unsigned w = img.columns(), h = img.rows();
        if (std::uint64_t(w) * h > kMaxPicturePixels) {
            out->width = int(w);
            out->height = int(h);
            return false;
        }
        Raster r;
        r.width = int(w);
        r.height = int(h);
        double resX = img.xResolution(), resY = img.yResolution();
        if (img.resolutionUnits() == Magick::PixelsPerInchResolution) {
            resX /= 0.0254;
            resY /= 0.0254;
        } else if (img.resolutionUnits() == Magick::PixelsPerCentimeterResolution) {
            resX *= 100;
            resY *= 100;
        } else {
            resX = resY = 0;
        }
        r.ppmX = resX > 0 && resX < 1e8 ? int(resX + 0.5) : 0;
        r.ppmY = resY > 0 && resY < 1e8 ? int(resY + 0.5) : 0;

        const bool matte = img.matte();
        const Magick::PixelPacket* px = img.getConstPixels(0, 0, w, h);
        if (!px) {
            *why = "no pixels";
            return false;
        }
        const size_t count = size_t(w) * h;
        const Magick::IndexPacket* ix = nullptr;
        if (img.classType() == Magick::PseudoClass && img.colorMapSize() > 0 && img.colorMapSize() <= 256)
            ix = img.getConstIndexes();
        if (ix) {
            // The colour table stays; a transparent entry turns white. Its
            // opacity is read from the first pixel that uses it.
            const unsigned entries = img.colorMapSize();
            r.indexed = true;
            r.palette.resize(entries);
            std::vector<bool> seen(entries, false);
            for (unsigned i = 0; i < entries; ++i) {
                const Magick::Color c = img.colorMap(i);
                r.palette[i] = RGBColor(Quantum8(c.redQuantum()), Quantum8(c.greenQuantum()), Quantum8(c.blueQuantum()));
            }
            r.index.resize(count);
            for (size_t i = 0; i < count; ++i) {
                const unsigned k = std::min<unsigned>(ix[i], entries - 1);
                r.index[i] = std::uint8_t(k);
                if (matte && !seen[k]) {
                    seen[k] = true;
                    const int alpha = 255 - Quantum8(px[i].opacity);
                    const COLORREF c = r.palette[k];
                    r.palette[k] = RGBColor(OnWhite(RedOf(c), alpha), OnWhite(GreenOf(c), alpha), OnWhite(BlueOf(c), alpha));
                }
            }
        } else {
            r.rgb.resize(count * 3);
            for (size_t i = 0; i < count; ++i) {
                const int alpha = matte ? 255 - Quantum8(px[i].opacity) : 255;
                r.rgb[i * 3] = OnWhite(Quantum8(px[i].red), alpha);
                r.rgb[i * 3 + 1] = OnWhite(Quantum8(px[i].green), alpha);
                r.rgb[i * 3 + 2] = OnWhite(Quantum8(px[i].blue), alpha);
            }
        }
        *out = std::move(r);
        return true;
    } catch (const Magick::Exception& e) {
        std::string text = e.what();
        if (StartsWith(text, "Magick: ")) text.erase(0, 8);
        // Drop the coder's source reference.
        if (const size_t at = text.find(" reported by "); at != std::string::npos) text.erase(at);
        *why = text.empty() ? "not a readable picture" : text;
        return false;
    } catch (const std::exception& e) {
        *why = e.what();
        return false;
    }
}

// ---- OpenJPEG ----------------------------------------------------------

struct MemoryStream {
    const std::uint8_t* data;
    OPJ_SIZE_T size;
    OPJ_SIZE_T pos;
};

OPJ_SIZE_T StreamRead(void* buffer, OPJ_SIZE_T n, void* user)
{
    auto* s = static_cast<MemoryStream*>(user);
    if (s->pos >= s->size) return OPJ_SIZE_T(-1);
    const OPJ_SIZE_T k = std::min(n, s->size - s->pos);
    std::memcpy(buffer, s->data + s->pos, k);
    s->pos += k;
    return k;
}

OPJ_OFF_T StreamSkip(OPJ_OFF_T n, void* user)
{
    auto* s = static_cast<MemoryStream*>(user);
    if (n < 0) {
        const OPJ_SIZE_T back = std::min<OPJ_SIZE_T>(OPJ_SIZE_T(-n), s->pos);
        s->pos -= back;
        return -OPJ_OFF_T(back);
    }
    const OPJ_SIZE_T k = std::min<OPJ_SIZE_T>(OPJ_SIZE_T(n), s->size - s->pos);
    s->pos += k;
    return OPJ_OFF_T(k);
}

OPJ_BOOL StreamSeek(OPJ_OFF_T n, void* user)
{
    auto* s = static_cast<MemoryStream*>(user);
    if (n < 0 || OPJ_SIZE_T(n) > s->size) return OPJ_FALSE;
    s->pos = OPJ_SIZE_T(n);
    return OPJ_TRUE;
}

void KeepError(const char* msg, void* user)
{
    auto* text = static_cast<std::string*>(user);
    if (text->empty() && msg) *text = Trim(msg);
}

void Quiet(const char*, void*) {}

bool DecodeWithOpenJpeg(PictureFormat format, const std::vector<std::uint8_t>& bytes, Raster* out, std::string* why)
{
    MemoryStream ms{bytes.data(), bytes.size(), 0};
    opj_stream_t* stream = opj_stream_create(OPJ_J2K_STREAM_CHUNK_SIZE, OPJ_TRUE);
    opj_codec_t* codec = opj_create_decompress(format == PictureFormat::Jp2 ? OPJ_CODEC_JP2 : OPJ_CODEC_J2K);
    opj_image_t* image = nullptr;
    auto cleanup = [&] {
        if (image) opj_image_destroy(image);
        if (codec) opj_destroy_codec(codec);
        if (stream) opj_stream_destroy(stream);
    };
    if (!stream || !codec) {
        cleanup();
        *why = "out of memory";
        return false;
    }
    opj_stream_set_user_data(stream, &ms, nullptr);
    opj_stream_set_user_data_length(stream, bytes.size());
    opj_stream_set_read_function(stream, StreamRead);
    opj_stream_set_skip_function(stream, StreamSkip);
    opj_stream_set_seek_function(stream, StreamSeek);
    std::string error;
    opj_set_error_handler(codec, KeepError, &error);
    opj_set_warning_handler(codec, Quiet, nullptr);
    opj_set_info_handler(codec, Quiet, nullptr);
    opj_dparameters_t params;
    opj_set_default_decoder_parameters(&params);
    bool ok = opj_setup_decoder(codec, &params) && opj_read_header(stream, codec, &image) && image;
    if (ok) {
        const std::uint64_t w = image->x1 > image->x0 ? image->x1 - image->x0 : 0;
        const std::uint64_t h = image->y1 > image->y0 ? image->y1 - image->y0 : 0;
        if (w * h > kMaxPicturePixels) {
            out->width = int(std::min<std::uint64_t>(w, 0x7FFFFFFF));
            out->height = int(std::min<std::uint64_t>(h, 0x7FFFFFFF));
            cleanup();
            return false;
        }
        ok = opj_decode(codec, stream, image) && opj_end_decompress(codec, stream);
    }
    if (!ok || !image || image->numcomps == 0 || !image->comps[0].data || image->comps[0].w == 0 ||
        image->comps[0].h == 0) {
        *why = error.empty() ? "not a readable JPEG 2000 stream" : error;
        cleanup();
        return false;
    }

    const opj_image_comp_t& base = image->comps[0];
    Raster r;
    r.width = int(base.w);
    r.height = int(base.h);
    const size_t count = size_t(r.width) * size_t(r.height);
    r.rgb.resize(count * 3);
    // Components of other sizes (subsampled) are read at the nearest sample.
    auto sample = [&](unsigned c, int x, int y) {
        const opj_image_comp_t& comp = image->comps[c];
        if (!comp.data || comp.w == 0 || comp.h == 0) return 0;
        const size_t sx = std::min<size_t>(comp.w - 1, size_t(x) * comp.w / base.w);
        const size_t sy = std::min<size_t>(comp.h - 1, size_t(y) * comp.h / base.h);
        return ScaleSample(comp.data[sy * comp.w + sx], int(comp.prec), comp.sgnd != 0);
    };
    // The alpha component is the one flagged so, else the last of two
    // (grey and alpha) or of four (red, green, blue and alpha).
    const bool cmyk = image->color_space == OPJ_CLRSPC_CMYK && image->numcomps >= 4;
    int alphaComp = -1;
    for (unsigned c = 0; c < image->numcomps && alphaComp < 0; ++c)
        if (image->comps[c].alpha) alphaComp = int(c);
    if (alphaComp < 0 && image->numcomps == 2) alphaComp = 1;
    if (alphaComp < 0 && image->numcomps == 4 && !cmyk) alphaComp = 3;
    const unsigned colours = image->numcomps >= 3 && (alphaComp < 0 || alphaComp >= 3) ? 3 : 1;
    const bool sycc = image->color_space == OPJ_CLRSPC_SYCC && colours == 3;
    for (int y = 0; y < r.height; ++y) {
        for (int x = 0; x < r.width; ++x) {
            int red, green, blue;
            if (colours == 3) {
                red = sample(0, x, y);
                green = sample(1, x, y);
                blue = sample(2, x, y);
                if (sycc) {
                    const double yy = red, cb = green - 128.0, cr = blue - 128.0;
                    red = std::clamp(int(yy + 1.402 * cr + 0.5), 0, 255);
                    green = std::clamp(int(yy - 0.344136 * cb - 0.714136 * cr + 0.5), 0, 255);
                    blue = std::clamp(int(yy + 1.772 * cb + 0.5), 0, 255);
                } else if (cmyk) {
                    const int k = sample(3, x, y);
                    red = (255 - red) * (255 - k) / 255;
                    green = (255 - green) * (255 - k) / 255;
                    blue = (255 - blue) * (255 - k) / 255;
                }
            } else {
                red = green = blue = sample(0, x, y);
            }
            const int alpha = alphaComp >= 0 ? sample(unsigned(alphaComp), x, y) : 255;
            std::uint8_t* p = &r.rgb[(size_t(y) * size_t(r.width) + size_t(x)) * 3];
            p[0] = OnWhite(red, alpha);
            p[1] = OnWhite(green, alpha);
            p[2] = OnWhite(blue, alpha);
        }
    }
    cleanup();
    *out = std::move(r);
    return true;
}

// ---- PGX ---------------------------------------------------------------

// "PG", the byte order ("ML" most significant byte first, "LM" least), an
// optional sign, the depth in bits, the width and the height, one
// whitespace character, then the raw samples row by row.
bool DecodePgx(const std::vector<std::uint8_t>& bytes, Raster* out, std::string* why)
{
    size_t p = 0;
    const size_t n = bytes.size();
    auto skipSpace = [&] {
        while (p < n && (bytes[p] == ' ' || bytes[p] == '\t')) ++p;
    };
    auto number = [&](std::uint64_t* v) {
        skipSpace();
        const size_t start = p;
        *v = 0;
        while (p < n && bytes[p] >= '0' && bytes[p] <= '9' && p - start < 10) *v = *v * 10 + (bytes[p++] - '0');
        return p > start;
    };
    if (n < 2 || bytes[0] != 'P' || bytes[1] != 'G') {
        *why = "not a PGX file";
        return false;
    }
    p = 2;
    skipSpace();
    if (p + 2 > n) {
        *why = "not a PGX file";
        return false;
    }
    bool bigEndian;
    if (bytes[p] == 'M' && bytes[p + 1] == 'L')
        bigEndian = true;
    else if (bytes[p] == 'L' && bytes[p + 1] == 'M')
        bigEndian = false;
    else {
        *why = "unknown byte order";
        return false;
    }
    p += 2;
    skipSpace();
    bool sgnd = false;
    if (p < n && (bytes[p] == '+' || bytes[p] == '-')) sgnd = bytes[p++] == '-';
    std::uint64_t depth = 0, w = 0, h = 0;
    if (!number(&depth) || !number(&w) || !number(&h) || depth < 1 || depth > 31 || w == 0 || h == 0) {
        *why = "bad header";
        return false;
    }
    if (w * h > kMaxPicturePixels) {
        out->width = int(std::min<std::uint64_t>(w, 0x7FFFFFFF));
        out->height = int(std::min<std::uint64_t>(h, 0x7FFFFFFF));
        return false;
    }
    // One whitespace character ends the header.
    if (p >= n || (bytes[p] != '\n' && bytes[p] != ' ' && bytes[p] != '\r')) {
        *why = "bad header";
        return false;
    }
    ++p;
    const size_t sampleBytes = depth <= 8 ? 1 : depth <= 16 ? 2 : 4;
    if ((n - p) / sampleBytes < w * h) {
        *why = "the samples end early";
        return false;
    }
    Raster r;
    r.width = int(w);
    r.height = int(h);
    r.rgb.resize(size_t(w * h) * 3);
    for (size_t i = 0; i < w * h; ++i) {
        std::uint32_t u = 0;
        for (size_t k = 0; k < sampleBytes; ++k) {
            const std::uint8_t b = bytes[p + i * sampleBytes + (bigEndian ? k : sampleBytes - 1 - k)];
            u = (u << 8) | b;
        }
        std::int64_t v = u;
        if (sgnd) {
            // Two's complement of the sample's width.
            const int bits = int(sampleBytes * 8);
            if (bits < 32 && (u >> (bits - 1)) & 1) v -= std::int64_t(1) << bits;
            if (bits == 32) v = std::int32_t(u);
        }
        const std::uint8_t g = std::uint8_t(ScaleSample(v, int(depth), sgnd));
        r.rgb[i * 3] = r.rgb[i * 3 + 1] = r.rgb[i * 3 + 2] = g;
    }
    *out = std::move(r);
    return true;
}

std::string Upper(std::string s)
{
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return s;
}

std::string FormatLabel(PictureFormat f, const std::string& ext)
{
    switch (f) {
    case PictureFormat::Jpeg: return "JPEG";
    case PictureFormat::Tiff: return "TIFF";
    case PictureFormat::Jp2: return "JPEG 2000 (JP2)";
    case PictureFormat::J2k: return "JPEG 2000 code stream";
    case PictureFormat::Pnm: return "PNM";
    case PictureFormat::Ras: return "Sun raster";
    default: return Upper(ext);
    }
}

}  // namespace

std::string PictureExtension(const std::string& path)
{
    const size_t slash = path.find_last_of("/\\");
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot < nameStart) return std::string();
    std::string ext = path.substr(dot + 1);
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return ext;
}

PictureFormat PictureFormatOf(const std::string& e)
{
    if (e == "bmp") return PictureFormat::Bmp;
    if (e == "gif") return PictureFormat::Gif;
    if (e == "jpg" || e == "jpeg") return PictureFormat::Jpeg;
    if (e == "png") return PictureFormat::Png;
    if (e == "ico") return PictureFormat::Ico;
    if (e == "tiff" || e == "tif") return PictureFormat::Tiff;
    if (e == "tga") return PictureFormat::Tga;
    if (e == "pcx") return PictureFormat::Pcx;
    if (e == "wbmp") return PictureFormat::Wbmp;
    if (e == "wmf") return PictureFormat::Wmf;
    if (e == "emf") return PictureFormat::Emf;
    if (e == "jp2") return PictureFormat::Jp2;
    if (e == "j2k" || e == "jpc" || e == "j2c") return PictureFormat::J2k;
    if (e == "pgx") return PictureFormat::Pgx;
    if (e == "pnm" || e == "pgm" || e == "ppm") return PictureFormat::Pnm;
    if (e == "ras") return PictureFormat::Ras;
    return PictureFormat::Unknown;
}

bool DecodePictureBytes(const std::string& name, PictureFormat format, const std::vector<std::uint8_t>& bytes,
                        std::vector<std::uint8_t>* bitmapFile, std::string* error)
{
    bitmapFile->clear();
    const std::string ext = PictureExtension(name);
    Raster raster;
    std::string why;
    bool ok = false;
    switch (format) {
    case PictureFormat::Unknown:
    case PictureFormat::Emf:
        // Enhanced metafiles need a renderer this platform does not have.
        if (error)
            *error = StrFormat(LoadKvString(IDS_PICTURE_UNKNOWN_FORMAT).c_str(), name.c_str(), Upper(ext).c_str());
        return false;
    case PictureFormat::Jp2:
    case PictureFormat::J2k: ok = DecodeWithOpenJpeg(format, bytes, &raster, &why); break;
    case PictureFormat::Pgx: ok = DecodePgx(bytes, &raster, &why); break;
    default: ok = DecodeWithMagick(format, bytes, &raster, &why); break;
    }
    if (ok) {
        *bitmapFile = BitmapFromRaster(raster);
        if (!bitmapFile->empty()) return true;
        why = "out of memory";
    }
    if (error) {
        if (why.empty() && raster.width > 0)
            *error = StrFormat(LoadKvString(IDS_PICTURE_TOO_LARGE).c_str(), name.c_str(), unsigned(raster.width),
                               unsigned(raster.height));
        else
            *error = StrFormat(LoadKvString(IDS_PICTURE_CANNOT_DECODE).c_str(), name.c_str(),
                               FormatLabel(format, ext).c_str(), why.c_str());
    }
    return false;
}

bool DecodePictureFile(const std::string& path, std::vector<std::uint8_t>* bitmapFile, std::string* error)
{
    bitmapFile->clear();
    if (error) error->clear();
    // A name without an extension (an empty data field, a folder) names no
    // picture: nothing to decode and nothing to tell.
    const std::string ext = PictureExtension(path);
    if (ext.empty()) return false;
    const PictureFormat format = PictureFormatOf(ext);
    if (format == PictureFormat::Unknown || format == PictureFormat::Emf)
        return DecodePictureBytes(path, format, {}, bitmapFile, error);
    struct stat st {};
    if (stat(path.c_str(), &st) != 0 && errno == ENOENT) return false;
    std::vector<std::uint8_t> bytes;
    std::string reason;
    if (!ReadFileToBytes(path, bytes, &reason)) {
        if (error) *error = StrFormat(LoadKvString(IDS_PICTURE_CANNOT_OPEN).c_str(), path.c_str(), reason.c_str());
        return false;
    }
    return DecodePictureBytes(path, format, bytes, bitmapFile, error);
}
