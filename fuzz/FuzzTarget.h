#pragma once
// A fuzz target is a function of one input, declared with CORVANE_FUZZ_TARGET(name):
//
//   CORVANE_FUZZ_TARGET(vec) { FuzzLayer(LayerKind::Vec, data, size); }
//
// Built for libFuzzer (CORVANE_LIBFUZZER defined, one target a program) it becomes the
// program's LLVMFuzzerTestOneInput. Built into the replay driver (every target in one
// program) it registers itself under its name, and the driver feeds it the files of the
// committed corpora and crash reproducers.
//
// A target may only crash, hang or trip a sanitizer on a fault; FUZZ_CHECK states a property
// that must hold for every input and aborts, naming it, when it does not.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace corvane::fuzz {

using TargetFunction = void (*)(const uint8_t* data, size_t size);

// Registers a target for the replay driver (see replay.cpp).
struct TargetRegistration {
    TargetRegistration(const char* name, TargetFunction function);
};

[[noreturn]] inline void CheckFailed(const char* what, const char* file, int line)
{
    std::fprintf(stderr, "%s:%d: fuzz check failed: %s\n", file, line, what);
    std::abort();
}

} // namespace corvane::fuzz

#define FUZZ_CHECK(cond) ((cond) ? (void)0 : ::corvane::fuzz::CheckFailed(#cond, __FILE__, __LINE__))

#ifdef CORVANE_LIBFUZZER
#define CORVANE_FUZZ_TARGET(name)                                                                           \
    static void FuzzOne_##name(const uint8_t* data, size_t size);                                           \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)                                 \
    {                                                                                                       \
        FuzzOne_##name(data, size);                                                                         \
        return 0;                                                                                           \
    }                                                                                                       \
    static void FuzzOne_##name(const uint8_t* data, size_t size)
#else
#define CORVANE_FUZZ_TARGET(name)                                                                           \
    static void FuzzOne_##name(const uint8_t* data, size_t size);                                           \
    static const ::corvane::fuzz::TargetRegistration FuzzRegistration_##name(#name, FuzzOne_##name);        \
    static void FuzzOne_##name(const uint8_t* data, size_t size)
#endif
