#include "engine/Algorithm.h"

#include "common/SecureRandom.h"

namespace cv {

namespace {

// A block asked for with length 0 is served with this many bytes.
constexpr std::uint64_t kDefaultLength = 1024;

} // namespace

Algorithm::Algorithm(std::uint64_t identifier, std::uint64_t cycles, std::string selectDesc,
                     std::string longDesc)
    : m_identifier(identifier), m_cycles(cycles), m_selectDesc(std::move(selectDesc)),
      m_longDesc(std::move(longDesc))
{
    const MethodCatalogue::Row* row = MethodCatalogue::find(identifier);
    m_rule = row ? row->rule : MethodCatalogue::randomData;
    m_cipherFirst = row && row->cipherFirst;
}

Pattern Algorithm::patternForCycle(std::uint64_t cycle) const
{
    return m_rule(cycle);
}

void Algorithm::fillDataForCycle(std::span<std::uint8_t> buffer, std::uint64_t cycle) const
{
    patternForCycle(cycle).fill(buffer);
}

std::vector<std::uint8_t> Algorithm::getDataForLength(std::uint64_t length, std::uint64_t cycle) const
{
    return patternForCycle(cycle).block(static_cast<std::size_t>(length == 0 ? kDefaultLength : length));
}

std::string Algorithm::randomAlphanumericStringWithLength(std::size_t count)
{
    return SecureRandom::alphanumeric(count);
}

} // namespace cv
