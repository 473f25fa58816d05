#include "engine/Algorithm.h"

#include "common/SecureRandom.h"

#include <array>

namespace cv {

namespace {

using Kind = Pattern::Kind;

// A block asked for with length 0 is served with this many bytes.
constexpr std::uint64_t kDefaultLength = 1024;

std::size_t blockLength(std::uint64_t length)
{
    return static_cast<std::size_t>(length == 0 ? kDefaultLength : length);
}

std::vector<std::uint8_t> makeBlock(const Pattern& pattern, std::uint64_t length)
{
    return pattern.block(blockLength(length));
}

// The stored three-byte rows of the Gutmann sequence; number g (3..29) uses row g - 1. There is
// no 88 88 88 row, and the last row is never reached.
constexpr std::array<std::array<std::uint8_t, 3>, 30> kGutmannRows{{
    {0x00, 0x00, 0x00}, {0x00, 0x00, 0x00}, {0x00, 0x00, 0x00}, {0x00, 0x00, 0x00}, {0x55, 0x55, 0x55},
    {0xAA, 0xAA, 0xAA}, {0x92, 0x49, 0x24}, {0x49, 0x24, 0x92}, {0x24, 0x92, 0x49}, {0x00, 0x00, 0x00},
    {0x11, 0x11, 0x11}, {0x22, 0x22, 0x22}, {0x33, 0x33, 0x33}, {0x44, 0x44, 0x44}, {0x55, 0x55, 0x55},
    {0x66, 0x66, 0x66}, {0x77, 0x77, 0x77}, {0x99, 0x99, 0x99}, {0xAA, 0xAA, 0xAA}, {0xBB, 0xBB, 0xBB},
    {0xCC, 0xCC, 0xCC}, {0xDD, 0xDD, 0xDD}, {0xEE, 0xEE, 0xEE}, {0xFF, 0xFF, 0xFF}, {0x92, 0x49, 0x24},
    {0x49, 0x24, 0x92}, {0x24, 0x92, 0x49}, {0x6D, 0xB6, 0xDB}, {0xB6, 0xDB, 0x6D}, {0xDB, 0x6D, 0xB6},
}};

Pattern gutmann(std::uint64_t g)
{
    if (g >= 3 && g <= 29) {
        const auto& row = kGutmannRows[g - 1];
        return Pattern::makeTriple(row[0], row[1], row[2]);
    }
    if (g == 30)
        return Pattern::byte(0x00);
    return Pattern::random(Kind::RandomTriple);
}

Pattern dwaR50(std::uint64_t n)
{
    if (n >= 5 && n <= 39)
        return gutmann(n - 4);
    return Pattern::random(Kind::RandomData);
}

Pattern bsiErase(std::uint64_t n)
{
    if (n == 1 || n == 4 || n == 6)
        return Pattern::byte(0xFF);
    if (n == 3)
        return Pattern::random(Kind::RandomByte);
    return Pattern::byte(0x00);
}

Pattern m7Erase(std::uint64_t n)
{
    return (n == 2 || n == 4 || n == 6) ? Pattern::byte(0xFF) : Pattern::byte(0x00);
}

Pattern dod5220Erase(std::uint64_t n)
{
    switch (n) {
    case 1:
        return Pattern::byte(0x35);
    case 2:
        return Pattern::byte(0xCA);
    case 3:
        return Pattern::random(Kind::RandomByte);
    default:
        return Pattern::byte(0x00);
    }
}

Pattern rcmpTssit(std::uint64_t n)
{
    if (n == 1 || n == 3 || n == 5)
        return Pattern::byte(0xFF);
    if (n == 6)
        return Pattern::random(Kind::RandomByte);
    return Pattern::byte(0x00);
}

Pattern dodSsdErase(std::uint64_t n)
{
    static constexpr std::uint8_t bytes[] = {0x00, 0xFF, 0xAA, 0x55};
    return Pattern::byte(n < 4 ? bytes[n] : 0x00);
}

Pattern hmgData(std::uint64_t n)
{
    return n == 2 ? Pattern::byte(0xFF) : Pattern::byte(0x00);
}

Pattern m3_2Erase(std::uint64_t n)
{
    if (n == 1)
        return Pattern::word(0xFFFFFFFF);
    if (n == 2)
        return Pattern::word(0xBFFFFFFF);
    return Pattern::word(0x00000000);
}

Pattern m3_3Erase(std::uint64_t n)
{
    if (n == 1)
        return Pattern::word(0xFFFFFFFF);
    if (n == 2)
        return Pattern::word(0x27FFFFFF);
    return Pattern::random(Kind::RandomWord);
}

Pattern ar380Data(std::uint64_t n)
{
    return n == 1 ? Pattern::random(Kind::RandomByte) : Pattern::byte(0x00);
}

Pattern ncscTg025(std::uint64_t n)
{
    if (n == 1)
        return Pattern::byte(0xFF);
    if (n == 2)
        return Pattern::random(Kind::RandomByte);
    return Pattern::byte(0x00);
}

Pattern gostR(std::uint64_t n)
{
    return n == 1 ? Pattern::random(Kind::RandomByte) : Pattern::byte(0x00);
}

Pattern adwaErase(std::uint64_t n)
{
    if (n == 1)
        return Pattern::byte(0xFF);
    if (n == 2)
        return Pattern::makeTriple(0x92, 0x49, 0x24);
    return Pattern::random(Kind::RandomByte);
}

} // namespace

Algorithm::Algorithm(std::uint64_t identifier, std::uint64_t cycles, std::string selectDesc,
                     std::string longDesc)
    : m_identifier(identifier), m_cycles(cycles), m_selectDesc(std::move(selectDesc)),
      m_longDesc(std::move(longDesc))
{}

Pattern Algorithm::patternForCycle(std::uint64_t cycle) const
{
    switch (m_identifier) {
    case 1:
        return dwaR50(cycle);
    case 2:
        return gutmann(cycle);
    case 3:
    case 6:
        return bsiErase(cycle);
    case 4:
        return m7Erase(cycle);
    case 5:
    case 13:
        return dod5220Erase(cycle);
    case 7:
        return dodSsdErase(cycle);
    case 8:
    case 9:
        return hmgData(cycle);
    case 10:
        return m3_2Erase(cycle);
    case 11:
        return m3_3Erase(cycle);
    case 12:
        return ar380Data(cycle);
    case 15:
        return Pattern::byte(0xFF);
    case 18:
        return adwaErase(cycle);
    case 19:
        return ncscTg025(cycle);
    case 20:
        return gostR(cycle);
    case 21:
        return rcmpTssit(cycle);
    default: // 14, 16, 17 and identifiers outside the catalogue
        return Pattern::random(Kind::RandomData);
    }
}

void Algorithm::fillDataForCycle(std::span<std::uint8_t> buffer, std::uint64_t cycle) const
{
    patternForCycle(cycle).fill(buffer);
}

std::vector<std::uint8_t> Algorithm::getDataForLength(std::uint64_t length, std::uint64_t cycle) const
{
    return makeBlock(patternForCycle(cycle), length);
}

// clang-format off
std::vector<std::uint8_t> Algorithm::getDWAR50(std::uint64_t length, std::uint64_t cycle) { return makeBlock(dwaR50(cycle), length); }
std::vector<std::uint8_t> Algorithm::getGutmannWithLength(std::uint64_t length, std::uint64_t cycle) { return makeBlock(gutmann(cycle), length); }
std::vector<std::uint8_t> Algorithm::getBSIErase(std::uint64_t length, std::uint64_t cycle) { return makeBlock(bsiErase(cycle), length); }
std::vector<std::uint8_t> Algorithm::getM7EraseWithLength(std::uint64_t length, std::uint64_t cycle) { return makeBlock(m7Erase(cycle), length); }
std::vector<std::uint8_t> Algorithm::getDoD5220EraseWithLength(std::uint64_t length, std::uint64_t cycle) { return makeBlock(dod5220Erase(cycle), length); }
std::vector<std::uint8_t> Algorithm::getDODSSDEraseWithLength(std::uint64_t length, std::uint64_t cycle) { return makeBlock(dodSsdErase(cycle), length); }
std::vector<std::uint8_t> Algorithm::getHMGDataWithLength(std::uint64_t length, std::uint64_t cycle) { return makeBlock(hmgData(cycle), length); }
std::vector<std::uint8_t> Algorithm::getM3_1EraseWithLength(std::uint64_t length, std::uint64_t cycle) { return makeBlock(hmgData(cycle), length); }
std::vector<std::uint8_t> Algorithm::getM3_2EraseWithLength(std::uint64_t length, std::uint64_t cycle) { return makeBlock(m3_2Erase(cycle), length); }
std::vector<std::uint8_t> Algorithm::getM3_3EraseWithLength(std::uint64_t length, std::uint64_t cycle) { return makeBlock(m3_3Erase(cycle), length); }
std::vector<std::uint8_t> Algorithm::getAR380DataWithLength(std::uint64_t length, std::uint64_t cycle) { return makeBlock(ar380Data(cycle), length); }
std::vector<std::uint8_t> Algorithm::getM1EraseWithLength(std::uint64_t length, std::uint64_t) { return makeBlock(Pattern::random(Kind::RandomData), length); }
std::vector<std::uint8_t> Algorithm::getADWAEraseWithLength(std::uint64_t length, std::uint64_t cycle) { return makeBlock(adwaErase(cycle), length); }
std::vector<std::uint8_t> Algorithm::getNCSCTG025(std::uint64_t length, std::uint64_t cycle) { return makeBlock(ncscTg025(cycle), length); }
std::vector<std::uint8_t> Algorithm::getGostR(std::uint64_t length, std::uint64_t cycle) { return makeBlock(gostR(cycle), length); }
std::vector<std::uint8_t> Algorithm::getRCMPTSSIT(std::uint64_t length, std::uint64_t cycle) { return makeBlock(rcmpTssit(cycle), length); }
std::vector<std::uint8_t> Algorithm::getRNDDataWithLength(std::uint64_t length) { return makeBlock(Pattern::random(Kind::RandomData), length); }
std::vector<std::uint8_t> Algorithm::get0XFFDataWithLength(std::uint64_t length) { return makeBlock(Pattern::byte(0xFF), length); }
// clang-format on

std::vector<std::uint8_t> Algorithm::createDataWithByte(std::uint8_t byte, std::uint64_t length)
{
    return Pattern::byte(byte).block(static_cast<std::size_t>(length));
}

std::vector<std::uint8_t> Algorithm::createDataWithWord(std::uint32_t word, std::uint64_t length)
{
    return Pattern::word(word).block(static_cast<std::size_t>(length));
}

std::string Algorithm::randomAlphanumericStringWithLength(std::size_t count)
{
    return SecureRandom::alphanumeric(count);
}

} // namespace cv
