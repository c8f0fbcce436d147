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
    const char* names[] = {"JolietRockRidge", "RockRidge", "PlainIso", "Udf"};
    return names[static_cast<int>(f)];
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
    const char* options[] = {"genisoimage -quiet -J -R", "xorriso -as mkisofs -quiet -R", "genisoimage -quiet",
                             "genisoimage -quiet -udf"};
    std::string cmd = options[static_cast<int>(f)];
    cmd += " -V ATLAS -o '" + image + "' '" + folder + "' >/dev/null 2>&1";
    return std::system(cmd.c_str()) == 0;
}

} // namespace corvane::test
