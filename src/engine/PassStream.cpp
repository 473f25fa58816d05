#include "engine/PassStream.h"

#include "common/Log.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <sys/random.h>

namespace cv {

namespace {

// Writing predictable data where random data was promised would be a silent lie: without its
// random source or its cipher the program stops, as it does when the CSPRNG fails.
[[noreturn]] void stop(const char* why)
{
    logLine(why);
    std::abort();
}

// Fills data from the kernel's CSPRNG; getrandom only fails on an interrupted or unsupported call.
void kernelRandom(std::uint8_t* data, std::size_t length)
{
    while (length > 0) {
        const ssize_t got = ::getrandom(data, length, 0);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            stop("No random source is available; stopping.");
        }
        data += got;
        length -= static_cast<std::size_t>(got);
    }
}

} // namespace

PassStream::PassStream(const Pattern& pattern) : m_pattern(pattern)
{
    if (!m_pattern.isRandom())
        return;
    kernelRandom(m_keyAndIv.data(), m_keyAndIv.size());
    startKeystream();
}

PassStream::~PassStream()
{
    EVP_CIPHER_CTX_free(m_context);
    OPENSSL_cleanse(m_keyAndIv.data(), m_keyAndIv.size());
}

void PassStream::startKeystream()
{
    if (!m_context)
        m_context = EVP_CIPHER_CTX_new();
    if (!m_context || EVP_EncryptInit_ex(m_context, EVP_aes_256_ctr(), nullptr, m_keyAndIv.data(),
                                         m_keyAndIv.data() + 32) != 1)
        stop("AES-256-CTR is not available; stopping.");
}

void PassStream::draw(std::uint8_t* data, std::size_t length)
{
    // The keystream is the encryption of zeros; CTR mode keeps its position across calls of any
    // length. The zeros come from one small constant block, read again for each piece, rather than
    // being written over the whole block first.
    static constexpr std::size_t kZeroBlock = 64 * 1024;
    static const std::array<std::uint8_t, kZeroBlock> zeros{};
    while (length > 0) {
        const int chunk = static_cast<int>(std::min(length, kZeroBlock));
        int produced = 0;
        if (EVP_EncryptUpdate(m_context, data, &produced, zeros.data(), chunk) != 1 || produced != chunk)
            stop("The AES-256-CTR keystream failed; stopping.");
        data += chunk;
        length -= static_cast<std::size_t>(chunk);
    }
}

void PassStream::generate(std::span<std::uint8_t> block)
{
    if (block.empty())
        return;
    using Kind = Pattern::Kind;
    std::uint8_t drawn[4];
    switch (m_pattern.kind) {
    case Kind::RandomData:
        draw(block.data(), block.size());
        return;
    case Kind::RandomByte:
        draw(drawn, 1);
        Pattern::byte(drawn[0]).fill(block);
        return;
    case Kind::RandomTriple:
        draw(drawn, 3);
        Pattern::makeTriple(drawn[0], drawn[1], drawn[2]).fill(block);
        return;
    case Kind::RandomWord:
        draw(drawn, 4);
        Pattern::word(std::uint32_t(drawn[0]) | std::uint32_t(drawn[1]) << 8 | std::uint32_t(drawn[2]) << 16 |
                      std::uint32_t(drawn[3]) << 24)
            .fill(block);
        return;
    default:
        m_pattern.fill(block);
        return;
    }
}

void PassStream::fill(std::span<std::uint8_t> block)
{
    if (block.empty())
        return;
    if (!m_runs.empty() && m_runs.back().length == block.size() && m_runs.back().written)
        ++m_runs.back().count;
    else
        m_runs.push_back({block.size(), 1, true});
    generate(block);
}

void PassStream::discardLast()
{
    if (m_runs.empty() || !m_runs.back().written)
        return;
    const std::size_t length = m_runs.back().length;
    if (--m_runs.back().count == 0)
        m_runs.pop_back();
    m_runs.push_back({length, 1, false});
}

void PassStream::replay()
{
    m_replayRun = 0;
    m_replayInRun = 0;
    if (m_pattern.isRandom())
        startKeystream();
}

std::size_t PassStream::nextBlock(std::vector<std::uint8_t>& buffer)
{
    for (;;) {
        while (m_replayRun < m_runs.size() && m_replayInRun >= m_runs[m_replayRun].count) {
            ++m_replayRun;
            m_replayInRun = 0;
        }
        if (m_replayRun >= m_runs.size())
            return 0;
        const Run& run = m_runs[m_replayRun];
        ++m_replayInRun;
        std::vector<std::uint8_t>& target = run.written ? buffer : m_skipped;
        if (target.size() < run.length)
            target.resize(run.length);
        generate(std::span<std::uint8_t>(target.data(), run.length));
        if (run.written)
            return run.length;
    }
}

} // namespace cv
