#pragma once

#include "engine/Pattern.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace cv {

// One overwrite method: its stable identifier, number of passes, display name and description,
// and the rule that gives the pattern of each pass. Methods are shared, immutable records.
class Algorithm
{
public:
    // The method whose first pass on files rewrites each block with a cipher of its own content.
    static constexpr std::uint64_t kCipherMethod = 18;

    Algorithm(std::uint64_t identifier, std::uint64_t cycles, std::string selectDesc, std::string longDesc);

    std::uint64_t identifier() const { return m_identifier; }
    std::uint64_t cycles() const { return m_cycles; }
    const std::string& selectDesc() const { return m_selectDesc; }
    const std::string& longDesc() const { return m_longDesc; }

    // The pattern pass `cycle` writes (on free space; see usesCipherPass for files).
    Pattern patternForCycle(std::uint64_t cycle) const;
    // True for the pass that files get as a cipher pass instead of its pattern.
    bool usesCipherPass(std::uint64_t cycle) const { return m_identifier == kCipherMethod && cycle == 0; }

    // Fills buffer with pass `cycle`'s pattern; the writers' way, reusing one buffer.
    void fillDataForCycle(std::span<std::uint8_t> buffer, std::uint64_t cycle) const;
    // A new block of exactly `length` bytes of pass `cycle` (a length of 0 gives 1024 bytes).
    std::vector<std::uint8_t> getDataForLength(std::uint64_t length, std::uint64_t cycle) const;

    // The rules of the catalogue, each (length, pass) to a block.
    static std::vector<std::uint8_t> getDWAR50(std::uint64_t length, std::uint64_t cycle);
    static std::vector<std::uint8_t> getGutmannWithLength(std::uint64_t length, std::uint64_t cycle);
    static std::vector<std::uint8_t> getBSIErase(std::uint64_t length, std::uint64_t cycle);
    static std::vector<std::uint8_t> getM7EraseWithLength(std::uint64_t length, std::uint64_t cycle);
    static std::vector<std::uint8_t> getDoD5220EraseWithLength(std::uint64_t length, std::uint64_t cycle);
    static std::vector<std::uint8_t> getDODSSDEraseWithLength(std::uint64_t length, std::uint64_t cycle);
    static std::vector<std::uint8_t> getHMGDataWithLength(std::uint64_t length, std::uint64_t cycle);
    static std::vector<std::uint8_t> getM3_1EraseWithLength(std::uint64_t length, std::uint64_t cycle);
    static std::vector<std::uint8_t> getM3_2EraseWithLength(std::uint64_t length, std::uint64_t cycle);
    static std::vector<std::uint8_t> getM3_3EraseWithLength(std::uint64_t length, std::uint64_t cycle);
    static std::vector<std::uint8_t> getAR380DataWithLength(std::uint64_t length, std::uint64_t cycle);
    static std::vector<std::uint8_t> getM1EraseWithLength(std::uint64_t length, std::uint64_t cycle);
    static std::vector<std::uint8_t> getADWAEraseWithLength(std::uint64_t length, std::uint64_t cycle);
    static std::vector<std::uint8_t> getNCSCTG025(std::uint64_t length, std::uint64_t cycle);
    static std::vector<std::uint8_t> getGostR(std::uint64_t length, std::uint64_t cycle);
    static std::vector<std::uint8_t> getRCMPTSSIT(std::uint64_t length, std::uint64_t cycle);
    static std::vector<std::uint8_t> getRNDDataWithLength(std::uint64_t length);
    static std::vector<std::uint8_t> get0XFFDataWithLength(std::uint64_t length);

    static std::vector<std::uint8_t> createDataWithByte(std::uint8_t byte, std::uint64_t length);
    static std::vector<std::uint8_t> createDataWithWord(std::uint32_t word, std::uint64_t length);
    // count characters from a-z, A-Z, 0-9, each drawn uniformly.
    static std::string randomAlphanumericStringWithLength(std::size_t count);

private:
    std::uint64_t m_identifier;
    std::uint64_t m_cycles;
    std::string m_selectDesc;
    std::string m_longDesc;
};

} // namespace cv
