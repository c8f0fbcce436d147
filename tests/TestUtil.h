#pragma once
// Helpers shared by the tests: a temporary folder that removes itself.
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane::test {

class TempDir {
public:
    TempDir()
    {
        char tmpl[] = "/tmp/corvane-test-XXXXXX";
        const char* p = ::mkdtemp(tmpl);
        path_ = p ? p : "/tmp";
    }
    ~TempDir()
    {
        std::string cmd = "rm -rf '" + path_ + "'";
        if (path_.rfind("/tmp/corvane-test-", 0) == 0) (void)!std::system(cmd.c_str());
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& rel) const { return path_ + "/" + rel; }

    // Writes a file (creating its folders) and returns its full path.
    std::string Write(const std::string& rel, const std::string& content) const
    {
        std::string full = path_ + "/" + rel;
        for (size_t k = path_.size() + 1; (k = full.find('/', k)) != std::string::npos; ++k)
            ::mkdir(full.substr(0, k).c_str(), 0755);
        std::ofstream(full, std::ios::binary) << content;
        return full;
    }

private:
    std::string path_;
};

inline std::string ReadFile(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

inline std::string SourceDir()
{
    const char* s = std::getenv("CORVANE_SOURCE_DIR");
    return s ? s : ".";
}

} // namespace corvane::test
