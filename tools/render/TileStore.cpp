#include "TileStore.h"

#include "RenderOptions.h"

#include "platform/MessageSink.h"
#include "platform/RunInputs.h"
#include "platform/TextFile.h"

#include <QCryptographicHash>
#include <QFile>
#include <QString>

#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <sys/stat.h>
#include <unordered_set>
#include <unistd.h>

namespace corvane {

namespace {

// The deepest zoom level that the merge takes from a part's metadata.
constexpr int kMostZoom = 30;

// A tile's place packed in one number (zoom levels up to 31, columns and rows below 2^29).
uint64_t Packed(const TileKey& k)
{
    return (static_cast<uint64_t>(k.z) << 58) | (static_cast<uint64_t>(k.x) << 29) | static_cast<uint64_t>(k.y);
}

bool RegularFile(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string FolderOf(const std::string& path)
{
    const size_t k = path.find_last_of('/');
    return k == std::string::npos ? std::string(".") : k == 0 ? std::string("/") : path.substr(0, k);
}

std::string Number(double v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", v);
    return text;
}

// ---- a folder ------------------------------------------------------------------------------

class FolderStore : public TileStore {
public:
    explicit FolderStore(const TileJob& job) : job_(job) {}

    bool Has(const TileKey& key) const override { return RegularFile(PathOf(key)); }

    // A folder that the run reads (the atlas) is no place for the tiles.
    bool Usable(std::string& error) const
    {
        if (!IsRunInput(job_.dir)) return true;
        error = job_.dir + " is read by this run; name a new folder for the tiles";
        return false;
    }

    bool Put(const TileKey& key, const std::string& png, std::string& error) override
    {
        const std::string column = job_.dir + "/" + std::to_string(key.z) + "/" + std::to_string(key.x);
        if (columns_.insert(column).second) {
            std::error_code ec;
            std::filesystem::create_directories(column, ec);
            if (ec || !std::filesystem::is_directory(column)) {
                error = "cannot make the folder " + column + ": " + (ec ? ec.message() : std::string(std::strerror(ENOTDIR)));
                return false;
            }
            RemoveStaleTemporaries(column);   // tiles of a run that was killed while writing them
        }
        // A run on another machine sharing the folder takes our temporary file for a stale one
        // when it clears the column (our process is not known there): the tile is written again.
        std::string why;
        if (!WriteFileWhole(PathOf(key), png, &why) && !WriteFileWhole(PathOf(key), png, &why)) {
            error = "cannot write " + PathOf(key) + ": " + why;
            return false;
        }
        return true;
    }

    bool Finish(std::string& error) override
    {
        std::error_code ec;
        std::filesystem::create_directories(job_.dir, ec);
        const bool leaflet = TileViewerHasLeaflet();
        auto write = [&](const std::string& name, const std::string& data) {
            std::string why;
            if (WriteFileWhole(job_.dir + "/" + name, data, &why)) return true;
            error = "cannot write " + job_.dir + "/" + name + ": " + why;
            return false;
        };
        if (leaflet)
            for (const char* name : {"leaflet.js", "leaflet.css", "leaflet-LICENSE.txt"}) {
                QFile from(QString(":/leaflet/") + name);
                if (!from.exists()) continue;   // a licence is not found with every copy of Leaflet
                if (!from.open(QIODevice::ReadOnly) || !write(name, from.readAll().toStdString())) {
                    if (error.empty()) error = "cannot write " + job_.dir + "/" + name;
                    return false;
                }
            }
        if (!write("index.html", leaflet ? LeafletViewerPage(job_) : TileViewerPage(job_))) return false;
        std::string why;
        if (!FlushFileSystemOf(job_.dir, &why)) {
            error = "cannot flush " + job_.dir + " to the disc: " + why;
            return false;
        }
        return true;
    }

private:
    std::string PathOf(const TileKey& key) const
    {
        return job_.dir + "/" + std::to_string(key.z) + "/" + std::to_string(key.x) + "/" + std::to_string(key.y) + ".png";
    }

    TileJob job_;
    std::set<std::string> columns_;   // the column folders made (or found) by this run
};

// ---- an MBTiles file -------------------------------------------------------------------------

// The temporary file of the MBTiles file being made, removed when the run is stopped by Ctrl-C
// or by a batch engine's SIGTERM (its job out of time), rather than left, as large as the
// tiles drawn, until the next run in the folder. Only the process that writes it removes it:
// a worker told to stop leaves it alone.
char g_unfinished[4096];
volatile pid_t g_unfinishedOwner = 0;
constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void RemoveUnfinishedAndStop(int signal)
{
    if (g_unfinishedOwner == ::getpid()) ::unlink(g_unfinished);
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

void RemoveOnStop(const std::string& path)
{
    if (path.size() >= sizeof g_unfinished) return;
    g_unfinishedOwner = 0;
    std::memcpy(g_unfinished, path.c_str(), path.size() + 1);
    g_unfinishedOwner = ::getpid();
    // A signal ignored (a run under nohup) stays ignored.
    for (int signal : kStopSignals) {
        struct sigaction old {};
        if (::sigaction(signal, nullptr, &old) != 0 || old.sa_handler != SIG_DFL) continue;
        struct sigaction sa {};
        sa.sa_handler = RemoveUnfinishedAndStop;
        ::sigaction(signal, &sa, nullptr);
    }
}

void KeepOnStop()
{
    if (g_unfinishedOwner == 0) return;
    for (int signal : kStopSignals) {
        struct sigaction now {};
        if (::sigaction(signal, nullptr, &now) == 0 && now.sa_handler == RemoveUnfinishedAndStop) ::signal(signal, SIG_DFL);
    }
    g_unfinishedOwner = 0;
}

class Statement {
public:
    Statement(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &s_, nullptr); }
    ~Statement() { sqlite3_finalize(s_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    sqlite3_stmt* get() const { return s_; }
    explicit operator bool() const { return s_ != nullptr; }

private:
    sqlite3_stmt* s_ = nullptr;
};

class Database {
public:
    ~Database() { Close(); }
    bool Open(const std::string& path, int flags)
    {
        Close();
        if (sqlite3_open_v2(path.c_str(), &db_, flags, nullptr) != SQLITE_OK) return false;
        // Someone reading the file meanwhile (a look at the progress, a tile server) holds its
        // lock for a moment: wait for it rather than give up the run.
        sqlite3_busy_timeout(db_, 30000);
        return true;
    }
    void Close()
    {
        if (db_) sqlite3_close_v2(db_);
        db_ = nullptr;
    }
    sqlite3* get() const { return db_; }
    bool Exec(const std::string& sql) { return sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK; }
    std::string Error() const { return db_ ? sqlite3_errmsg(db_) : std::string("out of memory"); }

private:
    sqlite3* db_ = nullptr;
};

constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS metadata (name TEXT, value TEXT);"
    "CREATE UNIQUE INDEX IF NOT EXISTS metadata_name ON metadata (name);"
    "CREATE TABLE IF NOT EXISTS map (zoom_level INTEGER, tile_column INTEGER, tile_row INTEGER, tile_id TEXT);"
    "CREATE UNIQUE INDEX IF NOT EXISTS map_index ON map (zoom_level, tile_column, tile_row);"
    "CREATE TABLE IF NOT EXISTS images (tile_data BLOB, tile_id TEXT);"
    "CREATE UNIQUE INDEX IF NOT EXISTS images_id ON images (tile_id);"
    "CREATE VIEW IF NOT EXISTS tiles AS SELECT map.zoom_level AS zoom_level, map.tile_column AS tile_column,"
    " map.tile_row AS tile_row, images.tile_data AS tile_data FROM map JOIN images ON images.tile_id = map.tile_id;";

// The zoom level at which the box shows whole in a window of about 1024 x 768 pixels.
int CentreZoom(const TileSetInfo& info)
{
    int z = info.zoomMin;
    while (z < info.zoomMax) {
        const int64_t w = TileColumn(info.bounds.east - 1e-9, z + 1) - TileColumn(info.bounds.west, z + 1) + 1;
        const int64_t h = TileRow(info.bounds.south + 1e-9, z + 1) - TileRow(info.bounds.north - 1e-9, z + 1) + 1;
        if (w * kTileSize > 1024 || h * kTileSize > 768) break;
        ++z;
    }
    return z;
}

std::map<std::string, std::string> MetadataOf(const TileSetInfo& info)
{
    const GeoBox& b = info.bounds;
    std::map<std::string, std::string> m{
        {"name", info.name},
        {"format", "png"},
        {"type", "baselayer"},
        {"bounds", Number(b.west) + "," + Number(b.south) + "," + Number(b.east) + "," + Number(b.north)},
        {"center", Number((b.west + b.east) / 2) + "," + Number((b.south + b.north) / 2) + "," +
                       std::to_string(CentreZoom(info))},
        {"minzoom", std::to_string(info.zoomMin)},
        {"maxzoom", std::to_string(info.zoomMax)},
    };
    if (!info.attribution.empty()) m["attribution"] = info.attribution;
    if (info.shard.n > 1) m["shard"] = std::to_string(info.shard.k) + "/" + std::to_string(info.shard.n);
    return m;
}

std::map<std::string, std::string> ReadMetadata(sqlite3* db)
{
    std::map<std::string, std::string> m;
    Statement q(db, "SELECT name, value FROM metadata");
    while (q && sqlite3_step(q.get()) == SQLITE_ROW) {
        const auto* n = sqlite3_column_text(q.get(), 0);
        const auto* v = sqlite3_column_text(q.get(), 1);
        if (n && v) m[reinterpret_cast<const char*>(n)] = reinterpret_cast<const char*>(v);
    }
    return m;
}

// The metadata that tells one pyramid from another (the shard aside).
std::string PyramidOf(const std::map<std::string, std::string>& m)
{
    std::string id;
    for (const char* name : {"format", "bounds", "minzoom", "maxzoom"}) {
        const auto it = m.find(name);
        id += std::string(name) + "=" + (it == m.end() ? std::string("?") : it->second) + " ";
    }
    return id;
}

class MbtilesStore : public TileStore {
public:
    // Creates the file (under a temporary name unless inPlace), or with resume opens the one
    // there and keeps its tiles.
    bool Open(const std::string& path, const TileSetInfo& info, bool resume, std::string& error)
    {
        path_ = path;
        if (IsRunInput(path)) {
            error = path + " is read by this run; name a new file for the tiles";
            return false;
        }
        RemoveStaleTemporaries(FolderOf(path));
        inPlace_ = resume;
        struct stat st {};
        const bool found = ::stat(path.c_str(), &st) == 0;
        // Written in place: a pipe, a device or a folder is no file to go on with.
        if (resume && found && !S_ISREG(st.st_mode)) {
            error = path + " is not a regular file: name an MBTiles file, or leave out --resume to replace it";
            return false;
        }
        const bool existing = resume && found && st.st_size > 0;
        writing_ = inPlace_ ? path : TemporarySibling(path);
        if (!inPlace_) RemoveOnStop(writing_);
        if (!db_.Open(writing_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE)) return Fail(error);
        const std::string notTiles = path + " is no MBTiles file of tiles: name another file, or leave out --resume to replace it";
        if (existing && !db_.Exec("SELECT 1 FROM sqlite_master LIMIT 1")) {
            if (sqlite3_errcode(db_.get()) != SQLITE_NOTADB) return Fail(error);
            error = notTiles;
            return false;
        }
        // A file written in place keeps a journal, so that a kill leaves it as at the last
        // commit; a temporary file needs none (a kill leaves nothing of it that counts).
        if (!db_.Exec(inPlace_ ? "PRAGMA synchronous=NORMAL" : "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF"))
            return Fail(error);
        const auto wanted = MetadataOf(info);
        if (existing) {
            const auto there = ReadMetadata(db_.get());
            if (there.empty()) {
                error = notTiles;
                return false;
            }
            if (PyramidOf(there) != PyramidOf(wanted) || there.count("shard") != wanted.count("shard") ||
                (wanted.count("shard") && there.at("shard") != wanted.at("shard"))) {
                error = path + " holds tiles of another pyramid or shard (" + PyramidOf(there) +
                        "): name another file, or leave out --resume to replace it";
                return false;
            }
        }
        if (!db_.Exec(kSchema)) return Fail(error);
        if (existing) {
            Statement q(db_.get(), "SELECT zoom_level, tile_column, tile_row FROM map");
            while (q && sqlite3_step(q.get()) == SQLITE_ROW) {
                const int z = sqlite3_column_int(q.get(), 0);
                const int64_t x = sqlite3_column_int64(q.get(), 1), row = sqlite3_column_int64(q.get(), 2);
                if (z < 0 || z > 30) continue;
                there_.insert(Packed({z, x, (int64_t{1} << z) - 1 - row}));
            }
        }
        if (!db_.Exec("BEGIN")) return Fail(error);
        Statement put(db_.get(), "INSERT OR REPLACE INTO metadata (name, value) VALUES (?, ?)");
        if (!put) return Fail(error);
        for (const auto& [name, value] : wanted) {
            sqlite3_reset(put.get());
            sqlite3_bind_text(put.get(), 1, name.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(put.get(), 2, value.c_str(), -1, SQLITE_TRANSIENT);
            if (sqlite3_step(put.get()) != SQLITE_DONE) return Fail(error);
        }
        image_ = std::make_unique<Statement>(db_.get(), "INSERT OR IGNORE INTO images (tile_data, tile_id) VALUES (?, ?)");
        map_ = std::make_unique<Statement>(
            db_.get(), "INSERT OR REPLACE INTO map (zoom_level, tile_column, tile_row, tile_id) VALUES (?, ?, ?, ?)");
        if (!*image_ || !*map_) return Fail(error);
        lastCommit_ = std::chrono::steady_clock::now();
        return true;
    }

    ~MbtilesStore() override
    {
        image_.reset();
        map_.reset();
        db_.Close();
        if (!inPlace_ && !writing_.empty()) ::unlink(writing_.c_str());   // never finished
        if (!inPlace_) KeepOnStop();
    }

    bool Has(const TileKey& key) const override { return there_.count(Packed(key)) > 0; }

    bool Put(const TileKey& key, const std::string& png, std::string& error) override
    {
        const QByteArray id = QCryptographicHash::hash(QByteArrayView(png.data(), static_cast<qsizetype>(png.size())),
                                                       QCryptographicHash::Md5)
                                  .toHex();
        sqlite3_stmt* image = image_->get();
        sqlite3_reset(image);
        sqlite3_bind_blob(image, 1, png.data(), static_cast<int>(png.size()), SQLITE_STATIC);
        sqlite3_bind_text(image, 2, id.constData(), static_cast<int>(id.size()), SQLITE_STATIC);
        if (sqlite3_step(image) != SQLITE_DONE) return Fail(error);
        sqlite3_stmt* map = map_->get();
        sqlite3_reset(map);
        sqlite3_bind_int(map, 1, key.z);
        sqlite3_bind_int64(map, 2, key.x);
        sqlite3_bind_int64(map, 3, (int64_t{1} << key.z) - 1 - key.y);
        sqlite3_bind_text(map, 4, id.constData(), static_cast<int>(id.size()), SQLITE_STATIC);
        if (sqlite3_step(map) != SQLITE_DONE) return Fail(error);
        there_.insert(Packed(key));
        // Committed now and then: a run killed half-way keeps what was committed.
        if (++uncommitted_ >= 256 || std::chrono::steady_clock::now() - lastCommit_ > std::chrono::seconds(2)) {
            if (!db_.Exec("COMMIT") || !db_.Exec("BEGIN")) return Fail(error);
            uncommitted_ = 0;
            lastCommit_ = std::chrono::steady_clock::now();
        }
        return true;
    }

    void Abandon() override
    {
        image_.reset();
        map_.reset();
        if (inPlace_) db_.Exec("COMMIT");
        db_.Close();
    }

    bool Finish(std::string& error) override
    {
        image_.reset();
        map_.reset();
        if (!db_.Exec("COMMIT")) return Fail(error);
        db_.Close();
        if (inPlace_) return true;
        std::string why;
        const bool renamed = RenameIntoPlace(writing_, path_, &why);
        KeepOnStop();
        if (!renamed) {
            error = "cannot write " + path_ + ": " + why;
            return false;
        }
        writing_.clear();
        return true;
    }

private:
    bool Fail(std::string& error)
    {
        error = "cannot write " + path_ + ": " + db_.Error();
        return false;
    }

    std::string path_, writing_;
    bool inPlace_ = false;
    Database db_;
    std::unique_ptr<Statement> image_, map_;
    std::unordered_set<uint64_t> there_;
    int uncommitted_ = 0;
    std::chrono::steady_clock::time_point lastCommit_;
};

bool LowerEndsWith(const std::string& s, const std::string& end)
{
    if (s.size() < end.size()) return false;
    std::string tail = s.substr(s.size() - end.size());
    std::transform(tail.begin(), tail.end(), tail.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return tail == end;
}

} // namespace

bool IsMbtilesName(const std::string& path) { return LowerEndsWith(path, ".mbtiles"); }

std::unique_ptr<TileStore> OpenTileStore(const TileJob& job, const TileSetInfo& info, bool resume, std::string& error)
{
    if (!IsMbtilesName(job.dir)) {
        auto folder = std::make_unique<FolderStore>(job);
        if (!folder->Usable(error)) return nullptr;
        return folder;
    }
    auto store = std::make_unique<MbtilesStore>();
    if (!store->Open(job.dir, info, resume, error)) return nullptr;
    return store;
}

int64_t MergeTileSets(const std::string& output, const std::vector<std::string>& parts, MessageSink& sink,
                      std::string& error)
{
    struct Part {
        std::string path;
        Database db;
        std::map<std::string, std::string> meta;
        TileShard shard;
    };
    std::vector<std::unique_ptr<Part>> opened;
    for (const std::string& path : parts) {
        auto part = std::make_unique<Part>();
        part->path = path;
        if (!RegularFile(path)) {
            error = "Unable to read the tiles of " + path;
            return -1;
        }
        RecordRunInput(path);
        if (part->db.Open(path, SQLITE_OPEN_READONLY)) part->meta = ReadMetadata(part->db.get());
        if (part->meta.empty()) {
            error = path + " is no MBTiles file of a pyramid: " + part->db.Error();
            return -1;
        }
        if (!opened.empty() && PyramidOf(part->meta) != PyramidOf(opened.front()->meta)) {
            error = path + " holds tiles of another pyramid than " + opened.front()->path + " (" + PyramidOf(part->meta) +
                    "against " + PyramidOf(opened.front()->meta) + ")";
            return -1;
        }
        opened.push_back(std::move(part));
    }
    if (opened.empty()) {
        error = "no parts to join";
        return -1;
    }
    // Refused before anything is said of the parts.
    if (IsRunInput(output)) {
        error = output + " is one of the parts joined; name a new file for the tiles";
        return -1;
    }
    // The shards given: each of 0 .. N-1 once.
    const auto& first = opened.front()->meta;
    int64_t n = 0;
    std::map<int64_t, int> shards;
    std::set<int64_t> shareOuts;
    for (const auto& p : opened) {
        const auto it = p->meta.find("shard");
        long long k = 0, count = 0;
        if (it != p->meta.end() && std::sscanf(it->second.c_str(), "%lld/%lld", &k, &count) == 2 && count > 1 &&
            count <= kMaxTileShards && k >= 0 && k < count) {
            n = count;
            ++shards[k];
            p->shard = {k, count};
        }
        shareOuts.insert(p->shard.n);
    }
    if (shareOuts.size() > 1) {
        std::string counts;
        for (int64_t c : shareOuts) counts += (counts.empty() ? "" : ", ") + std::to_string(c);
        sink.Warn("The parts are shares of the pyramid into different numbers of shards (" + counts + ").");
    } else if (n > 1) {
        // The first few shards named, and how many more.
        struct Named {
            std::string names;
            int64_t count = 0;
            void Add(int64_t k, int64_t of)
            {
                if (++count <= 10) names += (names.empty() ? "" : ", ") + std::to_string(k) + "/" + std::to_string(of);
            }
            std::string Text() const
            {
                return count <= 10 ? names : names + " and " + std::to_string(count - 10) + " more shards";
            }
        } missing, twice;
        for (int64_t k = 0; k < n; ++k) {
            const auto it = shards.find(k);
            const int times = it == shards.end() ? 0 : it->second;
            if (times == 0) missing.Add(k, n);
            if (times > 1) twice.Add(k, n);
        }
        if (missing.count) sink.Warn("The tiles of shard " + missing.Text() + " are missing from " + output + ".");
        if (twice.count) sink.Warn("Shard " + twice.Text() + " is given more than once.");
    }

    TileSetInfo info;
    auto value = [&](const char* name) {
        const auto it = first.find(name);
        return it == first.end() ? std::string() : it->second;
    };
    info.name = value("name");
    info.attribution = value("attribution");
    std::sscanf(value("bounds").c_str(), "%lf,%lf,%lf,%lf", &info.bounds.west, &info.bounds.south, &info.bounds.east,
                &info.bounds.north);
    info.zoomMin = std::atoi(value("minzoom").c_str());
    info.zoomMax = std::atoi(value("maxzoom").c_str());
    // The fewest tiles the pyramid can have (its bounds are stored to a millionth of a degree),
    // to tell a part that a run did not finish; -1 when the metadata tells no pyramid.
    const GeoBox& b = info.bounds;
    const int64_t least = info.zoomMin >= 0 && info.zoomMin <= info.zoomMax && info.zoomMax <= kMostZoom &&
                                  b.west + 2e-6 < b.east && b.south + 2e-6 < b.north
                              ? TilePyramid({b.west + 1e-6, b.south + 1e-6, b.east - 1e-6, b.north - 1e-6}, info.zoomMin,
                                            info.zoomMax)
                                    .Count()
                              : -1;
    MbtilesStore out;
    if (!out.Open(output, info, false, error)) return -1;
    int64_t written = 0, twiceHeld = 0;
    for (const auto& p : opened) {
        int64_t held = 0;
        Statement q(p->db.get(), "SELECT zoom_level, tile_column, tile_row, tile_data FROM tiles");
        if (!q) {
            error = "Unable to read the tiles of " + p->path + ": " + p->db.Error();
            return -1;
        }
        int rc;
        while ((rc = sqlite3_step(q.get())) == SQLITE_ROW) {
            const int z = sqlite3_column_int(q.get(), 0);
            const int64_t x = sqlite3_column_int64(q.get(), 1), row = sqlite3_column_int64(q.get(), 2);
            if (z < 0 || z > 30 || x < 0 || row < 0 || x >= (int64_t{1} << z) || row >= (int64_t{1} << z)) continue;
            ++held;
            const TileKey key{z, x, (int64_t{1} << z) - 1 - row};
            const auto* data = static_cast<const char*>(sqlite3_column_blob(q.get(), 3));
            const std::string png(data ? data : "", static_cast<size_t>(std::max(0, sqlite3_column_bytes(q.get(), 3))));
            if (out.Has(key)) {
                ++twiceHeld;
                continue;
            }
            if (!out.Put(key, png, error)) return -1;
            ++written;
        }
        if (rc != SQLITE_DONE) {
            error = "Unable to read the tiles of " + p->path + ": " + p->db.Error();
            return -1;
        }
        const int64_t due = least < 0 ? 0 : p->shard.CountOf(least);
        if (held < due)
            sink.Warn(p->path + " holds " + std::to_string(held) + " tiles, fewer than the " + std::to_string(due) + " of " +
                      (p->shard.n > 1 ? "shard " + std::to_string(p->shard.k) + "/" + std::to_string(p->shard.n)
                                      : std::string("the pyramid")) +
                      ": its run did not end (run it again with --resume to finish it).");
    }
    if (shareOuts.size() > 1 && least >= 0 && written < least)
        sink.Warn(std::to_string(least - written) + " of the pyramid's " + std::to_string(least) +
                  " tiles are missing from " + output + ".");
    if (twiceHeld > 0)
        sink.Warn(std::to_string(twiceHeld) + " tiles are held by more than one part; those of the first part are kept.");
    if (!out.Finish(error)) return -1;
    return written;
}

} // namespace corvane
