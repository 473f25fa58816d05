#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace cv {

// The engine's only source of randomness: the kernel CSPRNG expanded by OpenSSL, a whole buffer per
// call (one call per byte would be a thousand times slower).
//
// Small draws (next32, uniform, alphanumeric: a renaming walk draws a name for every entry) come from
// a reserve of the calling thread, filled from the same source a few kilobytes at a time: each call
// of the generator costs a system call of its own (OpenSSL checks the process's id on every call, to
// notice a fork), which a walk would otherwise pay per entry. A child made by fork never draws what
// its parent's reserve held: the reserve is dropped in the child.
class SecureRandom
{
public:
    // Fills the buffer with random bytes. Never returns without filling it.
    static void fill(std::span<std::uint8_t> buffer);
    static void fill(void* data, std::size_t length);

    static std::uint32_t next32();

    // A uniform draw from [0, upperBound) without modulo bias; 0 for an upperBound of 0.
    static std::uint32_t uniform(std::uint32_t upperBound);

    // count characters drawn uniformly from a-z, A-Z and 0-9.
    static std::string alphanumeric(std::size_t count);
};

} // namespace cv
