#pragma once

#include "engine/Algorithm.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace cv {

// The fixed catalogue of the 21 overwrite methods plus the placeholder at index 0, in the order
// the method menus show them, so that a menu index is a catalogue index. Settings store a method
// by identifier; getIndexForIdentifier maps it back to a menu index.
class AlgorithmCollection
{
public:
    AlgorithmCollection();

    const std::vector<std::shared_ptr<Algorithm>>& algorithms() const { return m_algorithms; }
    // Descriptions indexed by identifier.
    const std::vector<std::string>& algoDescriptions() const { return m_algoDescriptions; }

    // The method at catalogue index `index`, or null past the end.
    std::shared_ptr<Algorithm> get(std::size_t index) const;
    std::vector<std::string> getAllSelectableTitles() const;
    // A method's display name in a given language, whatever the engine's texts are bound to: the
    // German title for "de", the English one for any other language; empty for an identifier the
    // catalogue does not have. Reports are made in one language this way.
    static std::string titleFor(std::uint64_t identifier, std::string_view language);
    // The catalogue index of the method with that identifier, or the catalogue's size when none has it.
    std::size_t getIndexForIdentifier(std::uint64_t identifier) const;
    // The method with that identifier, or null (the placeholder 0 is returned like any other).
    std::shared_ptr<Algorithm> findByIdentifier(std::uint64_t identifier) const;

private:
    void intiDescriptions();
    void preFillCollection();

    std::vector<std::shared_ptr<Algorithm>> m_algorithms;
    std::vector<std::string> m_algoDescriptions;
};

} // namespace cv
