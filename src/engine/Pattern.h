#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace cv {

// What one pass of an overwrite method writes, independent of length. The random kinds draw their
// values anew for every block they fill.
struct Pattern
{
    enum class Kind
    {
        Byte,         // `value`'s low byte repeated
        Word,         // `value` as a little-endian 32-bit word repeated
        Triple,       // the bytes of `triple`, in order, repeated
        RandomData,   // every byte random
        RandomByte,   // one random byte per block, repeated
        RandomTriple, // three random bytes per block, repeated
        RandomWord,   // one random 32-bit word per block, repeated
    };

    Kind kind = Kind::RandomData;
    std::uint32_t value = 0;
    std::uint8_t triple[3] = {0, 0, 0};

    static Pattern byte(std::uint8_t b) { return {Kind::Byte, b, {}}; }
    static Pattern word(std::uint32_t w) { return {Kind::Word, w, {}}; }
    static Pattern makeTriple(std::uint8_t a, std::uint8_t b, std::uint8_t c)
    {
        return {Kind::Triple, 0, {a, b, c}};
    }
    static Pattern random(Kind kind) { return {kind, 0, {}}; }

    bool isRandom() const { return kind >= Kind::RandomData; }

    // Fills the whole buffer with this pattern; the repeat starts at the buffer's first byte.
    void fill(std::span<std::uint8_t> buffer) const;
    std::vector<std::uint8_t> block(std::size_t length) const;

    friend bool operator==(const Pattern& a, const Pattern& b)
    {
        return a.kind == b.kind && a.value == b.value && a.triple[0] == b.triple[0] &&
               a.triple[1] == b.triple[1] && a.triple[2] == b.triple[2];
    }
};

} // namespace cv
