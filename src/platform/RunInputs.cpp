#include "platform/RunInputs.h"

#include <mutex>
#include <set>
#include <sys/stat.h>
#include <utility>

namespace corvane {

namespace {

struct Registry {
    std::mutex lock;
    bool on = false;
    std::set<std::pair<uint64_t, uint64_t>> files;
};

Registry& TheRegistry()
{
    static Registry r;
    return r;
}

bool IdentityOf(const std::string& nativePath, std::pair<uint64_t, uint64_t>& id)
{
    struct stat st {};
    if (nativePath.empty() || ::stat(nativePath.c_str(), &st) != 0) return false;
    id = {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
    return true;
}

} // namespace

void BeginRunInputs()
{
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> g(r.lock);
    r.on = true;
}

void EndRunInputs()
{
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> g(r.lock);
    r.on = false;
    r.files.clear();
}

void RecordRunInput(uint64_t device, uint64_t inode)
{
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> g(r.lock);
    if (r.on) r.files.insert({device, inode});
}

bool RecordRunInput(const std::string& nativePath)
{
    std::pair<uint64_t, uint64_t> id;
    if (!IdentityOf(nativePath, id)) return false;
    RecordRunInput(id.first, id.second);
    return true;
}

bool IsRunInput(const std::string& nativePath)
{
    std::pair<uint64_t, uint64_t> id;
    if (!IdentityOf(nativePath, id)) return false;
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> g(r.lock);
    return r.files.count(id) > 0;
}

void ForgetRunInput(const std::string& nativePath)
{
    std::pair<uint64_t, uint64_t> id;
    if (!IdentityOf(nativePath, id)) return;
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> g(r.lock);
    r.files.erase(id);
}

} // namespace corvane
