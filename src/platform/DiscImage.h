#pragma once
// Disc images read without mounting them: ISO 9660 (with Joliet or Rock Ridge names where the
// image has them) and UDF. The directory tree is read once, when the image is opened, in a
// child process (a damaged volume may crash or stall the library that reads it), and every
// extent it names is checked against the image's size; a file is then read straight from the
// image file through a byte source, so that the readers never see the difference from a file
// on a disc.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace corvane {

class ByteSource;

enum class DiscImageKind { Iso9660, Udf };

// A run of a file's bytes in the image; an extent that is allocated but not recorded reads as
// zeros.
struct DiscExtent {
    int64_t offset = 0;   // bytes from the start of the image
    int64_t length = 0;
    bool zeros = false;
};

struct DiscEntry {
    std::string name;
    bool folder = false;
    int64_t size = 0;                  // bytes of a file
    std::vector<DiscExtent> extents;   // where a file's bytes lie, in order
    std::string embedded;              // the bytes of a small UDF file kept in its own entry
    bool isEmbedded = false;
    std::vector<DiscEntry> children;   // a folder's entries, in name order
};

class DiscImage {
public:
    // Limits on what an image may hold; an image beyond them is refused as damaged.
    static constexpr size_t kMaxEntries = 200000;
    static constexpr int kMaxDepth = 48;

    // Opens an image file. nullptr, and the reason in error, when the file is no disc image or
    // its volume or directory cannot be read.
    static std::shared_ptr<const DiscImage> Open(const std::string& nativePath, std::string& error);
    // Whether the file begins with the volume descriptors of an ISO 9660 or UDF volume
    // (reads a few sectors only).
    static bool LooksLikeImage(const std::string& nativePath);

    DiscImageKind Kind() const { return kind_; }
    const std::string& Path() const { return path_; }
    const DiscEntry& Root() const { return root_; }
    size_t EntryCount() const { return entries_; }

    // The entry of a path inside the image ('/' between components, "" or "/" the root).
    // Each component is taken as given when the folder holds it, else matched without regard
    // to case (the first such name in name order). nullptr when a component matches nothing;
    // resolved (when given) then receives the path with the components found in their own
    // case and the others as given.
    const DiscEntry* Find(const std::string& innerPath, std::string* resolved = nullptr) const;

    // A byte source over a file of the image; nullptr for a folder.
    std::unique_ptr<ByteSource> OpenFile(const DiscEntry& file) const;

private:
    DiscImage() = default;

    std::string path_;
    std::shared_ptr<const ByteSource> file_;
    DiscImageKind kind_ = DiscImageKind::Iso9660;
    DiscEntry root_;
    size_t entries_ = 0;
};

} // namespace corvane
