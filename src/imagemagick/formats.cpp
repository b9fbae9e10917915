#include "formats.h"

namespace kadrano {

namespace {

constexpr const char* kOutputFormats[] = {
    "ARW",    "AVS",   "BMP",  "BRF",   "CGM",    "CMYK", "CMYKA", "CR2",  "CRW",       "CUBE",
    "CUR",    "CUT",   "DCM",  "DCR",   "DCX",    "DDS",  "DIB",   "DJVU", "DNG",       "DOT",
    "DPX",    "EMF",   "EPDF", "EPI",   "EPS",    "EPS2", "EPS3",  "EPSF", "EPSI",      "EPT",
    "EXR",    "FAX",   "FIG",  "FITS",  "FPX",    "GIF",  "GPLT",  "GRAY", "HDR",       "HDR",
    "HEIC",   "HPGL",  "HRZ",  "ICO",   "JNG",    "JP2",  "JPT",   "J2C",  "J2K",       "JPEG",
    "PBM",    "PCD",   "PCDS", "PCL",   "PCX",    "PDB",  "PDF",   "PEF",  "PES",       "PFA",
    "PFB",    "PFM",   "PGM",  "PICON", "PICT",   "PIX",  "PNG",   "PNM",  "POCKETMOD", "PPM",
    "PS",     "PS2",   "PS3",  "PSB",   "PSD",    "PTIF", "PWP",   "RAD",  "RAF",       "RGB",
    "RGB565", "RGBA",  "RGF",  "RLA",   "RLE",    "SCT",  "SFW",   "SGI",  "SHTML",     "SUN",
    "SVG",    "TEXT",  "TGA",  "TIFF",  "TIM",    "TTF",  "TXT",   "UBRL", "UBRL6",     "UIL",
    "UYVY",   "VICAR", "VIFF", "WBMP",  "WDP",    "WEBP", "WMF",   "WPG",  "XBM",       "XCF",
    "XPM",    "XWD",   "X3F",  "YCbCr", "YCbCrA", "YUV",
};

static_assert(std::size(kOutputFormats) == 116);

}  // namespace

std::span<const char* const> outputFormatNames() {
    return kOutputFormats;
}

QStringList outputFormats() {
    QStringList list;
    list.reserve(int(std::size(kOutputFormats)));
    for (const char* name : kOutputFormats)
        list.append(QString::fromLatin1(name));
    return list;
}

}  // namespace kadrano
