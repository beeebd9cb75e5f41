#pragma once

// Fuzz targets: each takes one input of any bytes and must neither crash nor misbehave on it.
//
// Built with -DKURABOX_FUZZ=ON (clang), every target is its own libFuzzer program. In the normal
// test build they all register with the replay program, which runs each input of a corpus
// folder through its target, so the saved corpora run on every test run.

#include <cstddef>
#include <cstdint>

using FuzzFunction = int (*)(const std::uint8_t* data, std::size_t size);

// Adds a target to the replay program's table; returns true.
bool RegisterFuzzTarget(const char* name, FuzzFunction function);

#ifdef KURA_LIBFUZZER
#define KURA_FUZZ_TARGET(name)                                                                               \
    static int name##Run(const std::uint8_t* data, std::size_t size);                                        \
    extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)                        \
    {                                                                                                        \
        return name##Run(data, size);                                                                        \
    }                                                                                                        \
    static int name##Run(const std::uint8_t* data, std::size_t size)
#else
#define KURA_FUZZ_TARGET(name)                                                                               \
    static int name##Run(const std::uint8_t* data, std::size_t size);                                        \
    [[maybe_unused]] static const bool name##Registered = RegisterFuzzTarget(#name, name##Run);              \
    static int name##Run(const std::uint8_t* data, std::size_t size)
#endif
