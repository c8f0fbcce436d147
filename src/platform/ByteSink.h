#pragma once
// Where the bytes of a file go when it is made piece by piece (a large picture is written a
// few rows at a time rather than built whole in memory first).
#include <cstddef>
#include <string>

namespace corvane {

class ByteSink {
public:
    virtual ~ByteSink() = default;
    // Takes n bytes; false when they could not be written (a full disc): the file is then not
    // made, and the writer stops.
    virtual bool Write(const void* data, size_t n) = 0;
};

// The bytes appended to a string.
class StringSink : public ByteSink {
public:
    explicit StringSink(std::string& out) : out_(out) {}
    bool Write(const void* data, size_t n) override
    {
        out_.append(static_cast<const char*>(data), n);
        return true;
    }

private:
    std::string& out_;
};

} // namespace corvane
