#pragma once

#include "engine/MethodCatalogue.h"
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
    // The rule and the cipher pass come from the catalogue's row of the identifier; an identifier
    // the catalogue does not have writes random data.
    Algorithm(std::uint64_t identifier, std::uint64_t cycles, std::string selectDesc, std::string longDesc);

    std::uint64_t identifier() const { return m_identifier; }
    std::uint64_t cycles() const { return m_cycles; }
    const std::string& selectDesc() const { return m_selectDesc; }
    const std::string& longDesc() const { return m_longDesc; }

    // The pattern pass `cycle` writes (on free space; see usesCipherPass for files).
    Pattern patternForCycle(std::uint64_t cycle) const;
    // True for the pass that files get as a cipher pass instead of its pattern.
    bool usesCipherPass(std::uint64_t cycle) const { return m_cipherFirst && cycle == 0; }

    // Fills buffer with pass `cycle`'s pattern; the writers' way, reusing one buffer.
    void fillDataForCycle(std::span<std::uint8_t> buffer, std::uint64_t cycle) const;
    // A new block of exactly `length` bytes of pass `cycle` (a length of 0 gives 1024 bytes).
    std::vector<std::uint8_t> getDataForLength(std::uint64_t length, std::uint64_t cycle) const;

    // count characters from a-z, A-Z, 0-9, each drawn uniformly.
    static std::string randomAlphanumericStringWithLength(std::size_t count);

private:
    std::uint64_t m_identifier;
    std::uint64_t m_cycles;
    std::string m_selectDesc;
    std::string m_longDesc;
    MethodCatalogue::PassRule m_rule;
    bool m_cipherFirst;
};

} // namespace cv
