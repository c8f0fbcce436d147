#pragma once
// Small atlases for the catalogue tests, written by the catalogue's own writers.
#include "TestUtil.h"
#include "catalogue/MasterFile.h"
#include "catalogue/writers/DataListWriter.h"
#include "catalogue/writers/MasterFileWriter.h"
#include "platform/CvVars.h"

#include <string>
#include <vector>

namespace corvane::test {

// An atlas in dir: the data list Misc/MainMenu.Dat and the master files it names
// (CvVars::CDROM and DatalistFile are set to it):
//   1 Physical          XXXX
//     2 Bathymetry      Themes\Bathy.MAS
//     2 Currents        Themes\Currents.MAS
//   1 Biology           XXXX
//     2 Seabirds        Themes\Birds.MAS   (its master file is empty)
//     0 Introduction    Text\Intro.MAS     (a text page)
//     2 Plankton        Themes\Plankton.MAS (no master file)
inline void WriteSmallAtlas(const TempDir& dir)
{
    std::vector<DataListEntry> entries = {
        {1, "Physical", 1, "XXXX"},
        {2, "Bathymetry", 1, "CDROM:\\Themes\\Bathy.MAS"},
        {2, "Currents", 1, "CDROM:\\Themes\\Currents.MAS"},
        {1, "Biology", 1, "XXXX"},
        {2, "Seabirds", 1, "CDROM:\\Themes\\Birds.MAS"},
        {2, "Introduction", 0, "CDROM:\\Text\\Intro.MAS"},
        {2, "Plankton", 1, "CDROM:\\Themes\\Plankton.MAS"},
    };
    dir.Write("Misc/MainMenu.Dat", WriteDataList(entries));
    const std::string theme = WriteMasterFile(MASStruct());
    dir.Write("Themes/Bathy.MAS", theme);
    dir.Write("Themes/Currents.MAS", theme);
    dir.Write("Themes/Birds.MAS", "");
    dir.Write("Text/Intro.MAS", theme);
    CvVars::CDROM = dir.Path();
    CvVars::DatalistFile = dir.Path() + "\\Misc\\MainMenu.Dat";
}

} // namespace corvane::test
