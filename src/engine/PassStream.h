#pragma once

#include "engine/Pattern.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

struct evp_cipher_ctx_st;

namespace cv {

// The data of one overwrite pass, block by block, in a form that can be produced a second time for
// reading the pass back. Random kinds draw from an AES-256-CTR keystream whose key and IV come from
// the kernel's CSPRNG for this pass alone and live only in this object (wiped when it goes). The
// stream notes the length of every block it fills, since a repeated pattern and the one-value-per-
// block kinds start afresh in every block; replay() then gives the same blocks again, in order.
class PassStream
{
public:
    explicit PassStream(const Pattern& pattern);
    ~PassStream();
    PassStream(const PassStream&) = delete;
    PassStream& operator=(const PassStream&) = delete;

    const Pattern& pattern() const { return m_pattern; }

    // Fills the next block of the pass being written.
    void fill(std::span<std::uint8_t> block);
    // The block fill() gave last did not reach the file (a full volume refused it): the replay
    // skips it, though it still draws its random values so that the blocks after it match.
    void discardLast();

    // Starts the pass over for reading it back: the blocks fill() gave, from the first.
    void replay();
    // The next block of the replay into buffer (resized to fit); its length, 0 after the last.
    std::size_t nextBlock(std::vector<std::uint8_t>& buffer);

private:
    void startKeystream();
    void draw(std::uint8_t* data, std::size_t length);
    void generate(std::span<std::uint8_t> block);

    Pattern m_pattern;
    evp_cipher_ctx_st* m_context = nullptr;
    std::array<std::uint8_t, 48> m_keyAndIv{}; // 32 bytes of key, then 16 of IV
    // The blocks filled, as runs of equal lengths and the same fate.
    struct Run
    {
        std::size_t length = 0;
        std::uint64_t count = 0;
        bool written = true;
    };
    std::vector<Run> m_runs;
    std::vector<std::uint8_t> m_skipped; // where the replay draws the blocks it skips
    std::size_t m_replayRun = 0;
    std::uint64_t m_replayInRun = 0;
};

} // namespace cv
