#include "engine/Pattern.h"

#include "common/SecureRandom.h"

#include <algorithm>
#include <cstring>

namespace cv {

namespace {

// Repeats the first `unit` bytes of buffer through all of it, doubling the copied run each time,
// which runs at memcpy speed.
void repeatPrefix(std::span<std::uint8_t> buffer, std::size_t unit)
{
    std::size_t filled = std::min(unit, buffer.size());
    while (filled < buffer.size()) {
        const std::size_t chunk = std::min(filled, buffer.size() - filled);
        std::memcpy(buffer.data() + filled, buffer.data(), chunk);
        filled += chunk;
    }
}

void fillRepeated(std::span<std::uint8_t> buffer, const std::uint8_t* unit, std::size_t unitLength)
{
    std::memcpy(buffer.data(), unit, std::min(unitLength, buffer.size()));
    repeatPrefix(buffer, unitLength);
}

void fillWord(std::span<std::uint8_t> buffer, std::uint32_t word)
{
    const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(word), static_cast<std::uint8_t>(word >> 8),
                                   static_cast<std::uint8_t>(word >> 16),
                                   static_cast<std::uint8_t>(word >> 24)};
    fillRepeated(buffer, bytes, sizeof bytes);
}

} // namespace

void Pattern::fill(std::span<std::uint8_t> buffer) const
{
    if (buffer.empty())
        return;
    switch (kind) {
    case Kind::Byte:
        std::memset(buffer.data(), static_cast<std::uint8_t>(value), buffer.size());
        break;
    case Kind::Word:
        fillWord(buffer, value);
        break;
    case Kind::Triple:
        fillRepeated(buffer, triple, 3);
        break;
    case Kind::RandomData:
        SecureRandom::fill(buffer);
        break;
    case Kind::RandomByte:
        std::memset(buffer.data(), static_cast<std::uint8_t>(SecureRandom::next32()), buffer.size());
        break;
    case Kind::RandomTriple: {
        std::uint8_t drawn[3];
        SecureRandom::fill(drawn, sizeof drawn);
        fillRepeated(buffer, drawn, 3);
        break;
    }
    case Kind::RandomWord:
        fillWord(buffer, SecureRandom::next32());
        break;
    }
}

std::vector<std::uint8_t> Pattern::block(std::size_t length) const
{
    std::vector<std::uint8_t> data(length);
    fill(data);
    return data;
}

} // namespace cv
