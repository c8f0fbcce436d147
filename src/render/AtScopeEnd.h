#pragma once
// Puts a value (a canvas's background mode, its brush...) back as it was, or to a given
// value, however the drawing that changed it ends.

namespace corvane {

template <class T>
class AtScopeEnd {
public:
    explicit AtScopeEnd(T& field) : field_(field), value_(field) {}
    AtScopeEnd(T& field, const T& value) : field_(field), value_(value) {}
    ~AtScopeEnd() { field_ = value_; }
    AtScopeEnd(const AtScopeEnd&) = delete;
    AtScopeEnd& operator=(const AtScopeEnd&) = delete;

private:
    T& field_;
    T value_;
};

} // namespace corvane
