#pragma once
// Disc images of small atlases, made in the test by the mastering tools of the system
// (genisoimage, xorriso). A test skips when the tool it needs is missing.
#include "TestUtil.h"

#include <cstdlib>
#include <string>

namespace corvane::test {

enum class ImageFormat {
    JolietRockRidge,   // ISO 9660 with Joliet and Rock Ridge names
    RockRidge,         // ISO 9660 with Rock Ridge names only (xorriso)
    PlainIso,          // ISO 9660 level 1: upper-case 8.3 names with versions
    Udf,               // a UDF bridge disc
};

inline const char* ImageFormatName(ImageFormat f)
{
    switch (f) {
    case ImageFormat::JolietRockRidge: return "Joliet and Rock Ridge";
    case ImageFormat::RockRidge: return "Rock Ridge";
    case ImageFormat::PlainIso: return "plain ISO 9660";
    case ImageFormat::Udf: return "UDF";
    }
    return "";
}

inline bool HaveTool(const std::string& tool)
{
    return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

inline const char* ImageTool(ImageFormat f) { return f == ImageFormat::RockRidge ? "xorriso" : "genisoimage"; }

// Masters the folder into the image file; false when the tool is missing or fails.
inline bool MakeImage(const std::string& folder, const std::string& image, ImageFormat f)
{
    if (!HaveTool(ImageTool(f))) return false;
    std::string cmd;
    switch (f) {
    case ImageFormat::JolietRockRidge: cmd = "genisoimage -quiet -J -R"; break;
    case ImageFormat::RockRidge: cmd = "xorriso -as mkisofs -quiet -R"; break;
    case ImageFormat::PlainIso: cmd = "genisoimage -quiet"; break;
    case ImageFormat::Udf: cmd = "genisoimage -quiet -udf"; break;
    }
    cmd += " -V ATLAS -o '" + image + "' '" + folder + "' >/dev/null 2>&1";
    return std::system(cmd.c_str()) == 0;
}

} // namespace corvane::test
