#include "engine/AlgorithmCollection.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

using cv::AlgorithmCollection;
using cv::Pattern;
using Kind = cv::Pattern::Kind;
using Bytes = std::vector<std::uint8_t>;

namespace {

const Pattern RD = Pattern::random(Kind::RandomData);
const Pattern RB = Pattern::random(Kind::RandomByte);
const Pattern RT = Pattern::random(Kind::RandomTriple);
const Pattern RW = Pattern::random(Kind::RandomWord);
Pattern B(std::uint8_t b)
{
    return Pattern::byte(b);
}
Pattern T(std::uint8_t a, std::uint8_t b, std::uint8_t c)
{
    return Pattern::makeTriple(a, b, c);
}

std::vector<Pattern> gutmannSequence(std::uint64_t from, std::uint64_t to)
{
    const auto grey = [](std::uint8_t b) { return T(b, b, b); };
    // Laid out by hand, a few rows a line, for reading against the published table.
    // clang-format off
    const std::vector<Pattern> table = {
        RT, RT, RT, B(0), B(0),                                                                  // 0-4
        grey(0x55), grey(0xAA), T(0x92, 0x49, 0x24), T(0x49, 0x24, 0x92), T(0x24, 0x92, 0x49), // 5-9
        grey(0x00), grey(0x11), grey(0x22), grey(0x33), grey(0x44), grey(0x55), grey(0x66),     // 10-16
        grey(0x77), grey(0x99), grey(0xAA), grey(0xBB), grey(0xCC), grey(0xDD), grey(0xEE),     // 17-23
        grey(0xFF), T(0x92, 0x49, 0x24), T(0x49, 0x24, 0x92), T(0x24, 0x92, 0x49),              // 24-27
        T(0x6D, 0xB6, 0xDB), T(0xB6, 0xDB, 0x6D), B(0), RT, RT, RT, RT, RT};                    // 28-35
    // clang-format on
    return {table.begin() + static_cast<long>(from), table.begin() + static_cast<long>(to) + 1};
}

// The bytes a pattern must produce for `length` bytes, for constant kinds.
Bytes expectedBytes(const Pattern& p, std::size_t length)
{
    Bytes bytes(length);
    for (std::size_t i = 0; i < length; ++i) {
        switch (p.kind) {
        case Kind::Byte:
            bytes[i] = static_cast<std::uint8_t>(p.value);
            break;
        case Kind::Word:
            bytes[i] = static_cast<std::uint8_t>(p.value >> (8 * (i % 4)));
            break;
        case Kind::Triple:
            bytes[i] = p.triple[i % 3];
            break;
        default:
            break;
        }
    }
    return bytes;
}

// A triple or word of one repeated byte writes the same bytes as that byte.
Pattern canonical(Pattern p)
{
    if (p.kind == Kind::Triple && p.triple[0] == p.triple[1] && p.triple[1] == p.triple[2])
        return Pattern::byte(p.triple[0]);
    return p;
}

// Every byte of the block repeats with the period of the random kind.
void expectPeriodic(const Bytes& block, std::size_t period)
{
    for (std::size_t i = period; i < block.size(); ++i)
        ASSERT_EQ(block[i], block[i - period]) << "at " << i;
}

} // namespace

TEST(Algorithms, EveryMethodWritesItsPassSequence)
{
    std::vector<Pattern> dwa(5, RD);
    dwa.insert(dwa.end(), {RT, RT, B(0), B(0)});
    const auto g5to29 = gutmannSequence(5, 29);
    dwa.insert(dwa.end(), g5to29.begin(), g5to29.end());
    dwa.push_back(B(0));
    dwa.insert(dwa.end(), 5, RT);
    dwa.insert(dwa.end(), 10, RD);

    const std::map<std::uint64_t, std::vector<Pattern>> expected{
        {1, dwa},
        {2, gutmannSequence(0, 34)},
        {3, {B(0), B(0xFF), B(0), RB, B(0xFF), B(0), B(0xFF), B(0)}},
        {4, {B(0), B(0), B(0xFF), B(0), B(0xFF), B(0), B(0xFF)}},
        {5, {B(0), B(0x35), B(0xCA), RB, B(0), B(0), B(0)}},
        {21, {B(0), B(0xFF), B(0), B(0xFF), B(0), B(0xFF), RB}},
        {6, {B(0), B(0xFF), B(0), RB, B(0xFF)}},
        {18, {RB, B(0xFF), T(0x92, 0x49, 0x24), RB}},
        {7, {B(0), B(0xFF), B(0xAA), B(0x55)}},
        {17, {RD, RD, RD}},
        {8, {B(0), B(0), B(0xFF)}},
        {9, {B(0), B(0), B(0xFF)}},
        {10, {Pattern::word(0), Pattern::word(0xFFFFFFFF), Pattern::word(0xBFFFFFFF)}},
        {11, {RW, Pattern::word(0xFFFFFFFF), Pattern::word(0x27FFFFFF)}},
        {12, {B(0), RB, B(0)}},
        {13, {B(0), B(0x35), B(0xCA)}},
        {19, {B(0), B(0xFF), RB}},
        {20, {B(0), RB}},
        {14, {RD}},
        {15, {B(0xFF)}},
        {16, {RD}},
    };

    const AlgorithmCollection collection;
    ASSERT_EQ(collection.algorithms().size(), 22u);
    for (const auto& algorithm : collection.algorithms()) {
        if (algorithm->identifier() == 0)
            continue;
        SCOPED_TRACE("method " + std::to_string(algorithm->identifier()));
        const auto& passes = expected.at(algorithm->identifier());
        ASSERT_EQ(algorithm->cycles(), passes.size());
        for (std::uint64_t cycle = 0; cycle < passes.size(); ++cycle) {
            SCOPED_TRACE("pass " + std::to_string(cycle));
            EXPECT_EQ(canonical(algorithm->patternForCycle(cycle)), canonical(passes[cycle]));
            // The bytes themselves, over an odd length that cuts words and triples.
            const Bytes block = algorithm->getDataForLength(1031, cycle);
            ASSERT_EQ(block.size(), 1031u);
            if (!passes[cycle].isRandom())
                EXPECT_EQ(block, expectedBytes(passes[cycle], 1031));
            else if (passes[cycle].kind == Kind::RandomByte)
                expectPeriodic(block, 1);
            else if (passes[cycle].kind == Kind::RandomTriple)
                expectPeriodic(block, 3);
            else if (passes[cycle].kind == Kind::RandomWord)
                expectPeriodic(block, 4);
        }
        EXPECT_EQ(algorithm->usesCipherPass(0), algorithm->identifier() == 18);
    }
}

TEST(Algorithms, SmallLengthsCutWordsAndTriples)
{
    const AlgorithmCollection collection;
    const auto dod = collection.findByIdentifier(13);
    EXPECT_EQ(dod->getDataForLength(3, 0), (Bytes{0x00, 0x00, 0x00}));
    EXPECT_EQ(dod->getDataForLength(3, 1), (Bytes{0x35, 0x35, 0x35}));
    EXPECT_EQ(dod->getDataForLength(3, 2), (Bytes{0xCA, 0xCA, 0xCA}));

    const auto navo = collection.findByIdentifier(10);
    EXPECT_EQ(navo->getDataForLength(6, 2), (Bytes{0xFF, 0xFF, 0xFF, 0xBF, 0xFF, 0xFF}));
    EXPECT_EQ(navo->getDataForLength(1, 2), (Bytes{0xFF}));

    const auto gutmann = collection.findByIdentifier(2);
    EXPECT_EQ(gutmann->getDataForLength(4, 7), (Bytes{0x92, 0x49, 0x24, 0x92}));
    EXPECT_EQ(gutmann->getDataForLength(2, 28), (Bytes{0x6D, 0xB6}));
    EXPECT_EQ(gutmann->getDataForLength(3, 18), (Bytes{0x99, 0x99, 0x99})) << "there is no 88 row";
    EXPECT_EQ(gutmann->getDataForLength(3, 30), (Bytes{0, 0, 0}));
    EXPECT_EQ(collection.findByIdentifier(11)->getDataForLength(5, 2), (Bytes{0xFF, 0xFF, 0xFF, 0x27, 0xFF}));
    EXPECT_TRUE(Pattern::byte(0xAA).block(0).empty());

    EXPECT_EQ(dod->getDataForLength(0, 1).size(), 1024u) << "length 0 is served as 1024 bytes";
    EXPECT_EQ(collection.findByIdentifier(15)->getDataForLength(0, 0), Bytes(1024, 0xFF));
}

TEST(Algorithms, RandomKindsAreDrawnAnewForEveryBlock)
{
    // A random byte repeated through a block; 20 blocks that all drew the same byte would mean the
    // draw happens once per pass or not at all (chance 256^-19).
    const AlgorithmCollection collection;
    const auto gost = collection.findByIdentifier(20);
    std::set<std::uint8_t> seenBytes;
    std::set<Bytes> seenWords;
    const auto rll = collection.findByIdentifier(11);
    for (int i = 0; i < 20; ++i) {
        const Bytes block = gost->getDataForLength(4096, 1);
        expectPeriodic(block, 1);
        seenBytes.insert(block[0]);
        const Bytes word = rll->getDataForLength(8, 0);
        seenWords.insert(Bytes(word.begin(), word.begin() + 4));
    }
    EXPECT_GT(seenBytes.size(), 1u);
    EXPECT_GT(seenWords.size(), 1u);

    const auto random = collection.findByIdentifier(16);
    const Bytes a = random->getDataForLength(64, 0);
    const Bytes b = random->getDataForLength(64, 0);
    EXPECT_NE(a, b);
}

TEST(AlgorithmCollection, CatalogueOrderAndLookups)
{
    const AlgorithmCollection collection;
    const std::vector<std::uint64_t> menuOrder{0, 1, 2,  3,  4,  5,  21, 6,  18, 7,  17,
                                               8, 9, 10, 11, 12, 13, 19, 20, 14, 15, 16};
    for (std::size_t i = 0; i < menuOrder.size(); ++i) {
        EXPECT_EQ(collection.get(i)->identifier(), menuOrder[i]) << "index " << i;
        EXPECT_EQ(collection.getIndexForIdentifier(menuOrder[i]), i);
    }
    EXPECT_EQ(collection.getIndexForIdentifier(99), 22u);
    EXPECT_EQ(collection.get(22), nullptr);

    const auto placeholder = collection.get(0);
    EXPECT_EQ(placeholder->selectDesc(), "- Select your method");
    EXPECT_EQ(placeholder->cycles(), 0u);
    EXPECT_EQ(placeholder->longDesc(), "");

    const auto titles = collection.getAllSelectableTitles();
    ASSERT_EQ(titles.size(), 22u);
    // Without a translator the titles read in English; a report asks for either language.
    EXPECT_EQ(titles[6], " 7 passes: Canadian RCMP TSSIT OPS-II");
    EXPECT_EQ(titles[1], "50 passes: Ostrevane DWA (2007)");
    EXPECT_EQ(cv::AlgorithmCollection::titleFor(21, "de"), " 7 Runden: Canadian RCMP TSSIT OPS-II");
    EXPECT_EQ(cv::AlgorithmCollection::titleFor(21, "en"), " 7 passes: Canadian RCMP TSSIT OPS-II");
    EXPECT_EQ(cv::AlgorithmCollection::titleFor(99, "de"), "");

    // Every real method has an English description of its own, not its bare key.
    for (std::uint64_t id = 1; id <= 21; ++id) {
        const auto& description = collection.algoDescriptions().at(id);
        EXPECT_GT(description.size(), 20u) << "method " << id;
        EXPECT_EQ(description.find("IDS__"), std::string::npos) << "method " << id;
        EXPECT_EQ(collection.findByIdentifier(id)->longDesc(), description);
    }
}
