#pragma once
// The standard coastline of an atlas: the ten files the viewer draws under and over every map
// whose first base map and overlay do not bring their own coastline (a theme's
// coastline-included), at fixed places on the medium (Landdata/Vec/LandFull.Vec ...
// Landdata/Mrl/Land5Min.Mrl). An atlas of one's own seldom builds them; corvane-atlas build
// takes those it lacks from another atlas that has them. No GDAL here.
#include <string>
#include <vector>

namespace corvane::atlas {

// The ten files as paths inside an atlas ("Landdata/Vec/LandFull.Vec"), outlines from full
// detail to 1 %, then land from 12 seconds to 5 minutes of arc.
std::vector<std::string> StandardCoastlineFiles();

// The first of the folders that holds the whole standard coastline, or empty.
std::string AtlasWithCoastline(const std::vector<std::string>& folders);

struct CoastlineOutcome {
    std::vector<std::string> present;   // already in the atlas
    std::vector<std::string> linked;    // hard links to the other atlas's files
    std::vector<std::string> copied;    // copies of them (another file system)
    std::vector<std::string> missing;   // in neither
    std::string error;                  // a file that could not be linked or copied
};

// Gives the atlas under root every standard coastline file it lacks from the atlas under
// from (none when from is empty): a hard link where both lie on one file system, else a copy
// through the safe write. With dryRun nothing is made and what would be is counted as
// linked.
CoastlineOutcome ProvideCoastline(const std::string& root, const std::string& from, bool dryRun);

// One line for the build's summary: what the atlas has and where it came from, or that it has
// none and what that means.
std::string CoastlineSummary(const CoastlineOutcome& outcome, const std::string& from);

} // namespace corvane::atlas
