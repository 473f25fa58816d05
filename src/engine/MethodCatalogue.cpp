#include "engine/MethodCatalogue.h"

#include "common/Localization.h"

#include <array>

namespace cv {

namespace {

using Kind = Pattern::Kind;

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

// HMG IS5 (enhanced) and AFSSI-5020 write the same three passes.
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

// Pass 0 is what free space gets; files get the cipher pass in its place (cipherFirst).
Pattern adwaErase(std::uint64_t n)
{
    if (n == 1)
        return Pattern::byte(0xFF);
    if (n == 2)
        return Pattern::makeTriple(0x92, 0x49, 0x24);
    return Pattern::random(Kind::RandomByte);
}

Pattern onlyFF(std::uint64_t)
{
    return Pattern::byte(0xFF);
}

// The rule of the methods that write random data on every pass, short enough for the table below.
constexpr MethodCatalogue::PassRule randomData = MethodCatalogue::randomData;

// Menu order. Display names keep their leading blank so that the pass counts line up in menus.
// Titles and descriptions are keys of the translation tables, which hold their English and German
// texts; lupdate reads the keys where they stand here.
// clang-format off
constexpr std::array<MethodCatalogue::Row, 22> kRows{{
    {0,  0,  randomData,   CV_TRANSLATE_NOOP("Shared", "- Select your method"),
                           "", false},
    {1,  50, dwaR50,       CV_TRANSLATE_NOOP("Shared", "50 Runden: Ostrevane DWA (2007)"),
                           CV_TRANSLATE_NOOP("Shared", "IDS__ALGORITHM_DETAIL_OV"), false},
    {2,  35, gutmann,      CV_TRANSLATE_NOOP("Shared", "35 Runden: Gutmann Methode"),
                           CV_TRANSLATE_NOOP("Shared", "IDS__ALGORITHM_DETAIL_GUTMANN"), false},
    {3,  8,  bsiErase,     CV_TRANSLATE_NOOP("Shared", " 8 Runden: Deutsche BSI TL-03423"),
                           CV_TRANSLATE_NOOP("Shared", "IDS__ALGORITHM_DETAIL_BSI"), false},
    {4,  7,  m7Erase,      CV_TRANSLATE_NOOP("Shared", " 7 Runden: NATO Standard"),
                           CV_TRANSLATE_NOOP("Shared", "IDS__ALGORITHM_DETAIL_M7"), false},
    {5,  7,  dod5220Erase, CV_TRANSLATE_NOOP("Shared", " 7 Runden: DoD 5220.22-M ECE"),
                           CV_TRANSLATE_NOOP("Shared", "IDS__ALGORITHM_DETAIL_DOD2"), false},
    {21, 7,  rcmpTssit,    CV_TRANSLATE_NOOP("Shared", " 7 Runden: Canadian RCMP TSSIT OPS-II"),
                           CV_TRANSLATE_NOOP("Shared", "DESC_CANADIANRCMPTSSITOPSII"), false},
    {6,  5,  bsiErase,     CV_TRANSLATE_NOOP("Shared", " 5 Runden: BSI-2011-VS"),
                           CV_TRANSLATE_NOOP("Shared", "IDS__ALGORITHM_DETAIL_BSI2011"), false},
    {18, 4,  adwaErase,    CV_TRANSLATE_NOOP("Shared", " 4 Runden: Ostrevane ADWA (2017)"),
                           CV_TRANSLATE_NOOP("Shared", "DESC_ADWA"), true},
    {7,  4,  dodSsdErase,  CV_TRANSLATE_NOOP("Shared", " 4 Runden: DoD 5220.22-M E für SSD"),
                           CV_TRANSLATE_NOOP("Shared", "IDS__ALGORITHM_DETAIL_DOD_SSD"), false},
    {17, 3,  randomData,   CV_TRANSLATE_NOOP("Shared", " 3 Runden: Canadian CSEC ITSG-06"),
                           CV_TRANSLATE_NOOP("Shared", "DESC_CSEC"), false},
    {8,  3,  hmgData,      CV_TRANSLATE_NOOP("Shared", " 3 Runden: HMG Nr. 5 erweitert"),
                           CV_TRANSLATE_NOOP("Shared", "IDS__ALGORITHM_DETAIL_HMG"), false},
    {9,  3,  hmgData,      CV_TRANSLATE_NOOP("Shared", " 3 Runden: AFSSI-5020"),
                           CV_TRANSLATE_NOOP("Shared", "IDS__ALGORITHM_DETAIL_M3_1"), false},
    {10, 3,  m3_2Erase,    CV_TRANSLATE_NOOP("Shared", " 3 Runden: NAVO P-5239-26 (MFM)"),
                           CV_TRANSLATE_NOOP("Shared", "IDS__ALGORITHM_DETAIL_M3_2"), false},
    {11, 3,  m3_3Erase,    CV_TRANSLATE_NOOP("Shared", " 3 Runden: NAVO P-5239-26 (RLL)"),
                           CV_TRANSLATE_NOOP("Shared", "IDS__ALGORITHM_DETAIL_M3_3"), false},
    {12, 3,  ar380Data,    CV_TRANSLATE_NOOP("Shared", " 3 Runden: US Army AR380-19"),
                           CV_TRANSLATE_NOOP("Shared", "IDS__ALGORITHM_DETAIL_AR380"), false},
    {13, 3,  dod5220Erase, CV_TRANSLATE_NOOP("Shared", " 3 Runden: DoD 5220.22-M E"),
                           CV_TRANSLATE_NOOP("Shared", "IDS__ALGORITHM_DETAIL_DOD"), false},
    {19, 3,  ncscTg025,    CV_TRANSLATE_NOOP("Shared", " 3 Runden: NCSC-TG-025"),
                           CV_TRANSLATE_NOOP("Shared", "DESC_NCSCTG025"), false},
    {20, 2,  gostR,        CV_TRANSLATE_NOOP("Shared", " 2 Runden: Russian GOST R 50739-95"),
                           CV_TRANSLATE_NOOP("Shared", "DESC_RUSSIANGOSTR50739"), false},
    {14, 1,  randomData,   CV_TRANSLATE_NOOP("Shared", " 1 Runde: Australien ISM 6.2.92"),
                           CV_TRANSLATE_NOOP("Shared", "IDS__ALGORITHM_DETAIL_M1"), false},
    {15, 1,  onlyFF,       CV_TRANSLATE_NOOP("Shared", " 1 Runde: 0XFF für SSD"),
                           CV_TRANSLATE_NOOP("Shared", "IDS__ALGORITHM_DETAIL_SSD"), false},
    {16, 1,  randomData,   CV_TRANSLATE_NOOP("Shared", " 1 Runde: Zufallswerte"),
                           CV_TRANSLATE_NOOP("Shared", "IDS__ALGORITHM_DETAIL_RANDOM"), false},
}};
// clang-format on

} // namespace

std::span<const MethodCatalogue::Row> MethodCatalogue::rows()
{
    return kRows;
}

const MethodCatalogue::Row* MethodCatalogue::find(std::uint64_t identifier)
{
    for (const Row& row : kRows) {
        if (row.identifier == identifier)
            return &row;
    }
    return nullptr;
}

Pattern MethodCatalogue::randomData(std::uint64_t)
{
    return Pattern::random(Kind::RandomData);
}

} // namespace cv
