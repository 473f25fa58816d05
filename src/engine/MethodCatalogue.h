#pragma once

#include "engine/Pattern.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace cv {

// The fixed table of the overwrite methods: one row per method, in the order the method menus
// show them, the placeholder "- Select your method" first. Everything that makes a method (its
// passes, the rule of its patterns, the keys of its title and description, its cipher pass) sits
// in its row, so that a method is added or changed in one place and nothing is kept in step by
// position. The texts of those keys are in the translation tables, as every other text: English in
// resources/translations/cindervault_en.ts, German in cindervault_de.ts (lupdate finds the keys in
// the rows; the engine reads the English table's texts without Qt, see englishText()).
class MethodCatalogue
{
public:
    // The pattern that pass `cycle` of a method writes.
    using PassRule = Pattern (*)(std::uint64_t cycle);

    struct Row
    {
        std::uint64_t identifier; // stable key; settings store a method by it
        std::uint64_t passes;
        PassRule rule;
        std::string_view title;          // key of the display name: the German title
        std::string_view descriptionKey; // key of the description; empty for the placeholder
        bool cipherFirst;                // on files, pass 0 is a cipher of the file's own content
    };

    // Every row, in menu order.
    static std::span<const Row> rows();
    // The row of that identifier, or null when no method has it.
    static const Row* find(std::uint64_t identifier);
    // The rule of an identifier the table does not have: random data on every pass.
    static Pattern randomData(std::uint64_t cycle);
};

} // namespace cv
