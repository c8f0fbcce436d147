#pragma once
// CD-ROM drives on this platform: the mounted iso9660 and udf file systems, in mount-table
// order, stand for the CD-ROM drive letters. The first becomes "D:", the next "E:" and so on
// (A and B are floppies, C the fixed disc, as on the machines the data files were made for).
#include <memory>
#include <string>
#include <vector>

namespace corvane {

class CdromMountProvider {
public:
    virtual ~CdromMountProvider() = default;
    virtual std::vector<std::string> MountPoints() const = 0;   // in mount-table order
};

// Reads /proc/self/mounts (or another file in the same format).
class ProcMountsCdromProvider : public CdromMountProvider {
public:
    explicit ProcMountsCdromProvider(std::string mountsFile = "/proc/self/mounts")
        : file_(std::move(mountsFile)) {}
    std::vector<std::string> MountPoints() const override;

private:
    std::string file_;
};

// A fixed list, for tests.
class FixedCdromProvider : public CdromMountProvider {
public:
    explicit FixedCdromProvider(std::vector<std::string> points) : points_(std::move(points)) {}
    std::vector<std::string> MountPoints() const override { return points_; }

private:
    std::vector<std::string> points_;
};

// Mount points of iso9660 and udf file systems in the text of a mounts table; octal escapes
// ("\040" for a blank) are decoded.
std::vector<std::string> ParseCdromMounts(const std::string& mountsText);

constexpr char kFirstCdromLetter = 'D';

// Gives the mount points their drive letters (D:, E:, ...; at most up to Z:) in the data
// path layer and returns the letters in order.
std::string AssignCdromDriveLetters(const CdromMountProvider& provider);

// Whether a drive letter is a CD-ROM drive after AssignCdromDriveLetters.
bool IsCdromDrive(char letter);

} // namespace corvane
