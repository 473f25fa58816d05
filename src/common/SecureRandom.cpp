#include "common/SecureRandom.h"

#include "common/Log.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <openssl/crypto.h>
#include <openssl/rand.h>
#include <pthread.h>
#include <sys/random.h>

namespace cv {

namespace {

constexpr std::string_view kAlphanumeric = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

// The kernel's generator, used when OpenSSL's cannot serve.
bool fillFromKernel(std::uint8_t* data, std::size_t length)
{
    while (length > 0) {
        const ssize_t got = ::getrandom(data, length, 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        data += got;
        length -= static_cast<std::size_t>(got);
    }
    return true;
}

// Counts the forks of the process: a reserve filled before the last one is not used again.
std::atomic<unsigned> g_forks{0};

void countFork()
{
    g_forks.fetch_add(1, std::memory_order_relaxed);
}

// Random bytes of one thread, handed out once each, in order.
class Reserve
{
public:
    ~Reserve() { OPENSSL_cleanse(m_bytes.data(), m_bytes.size()); }

    void take(std::uint8_t* data, std::size_t length)
    {
        static std::once_flag watching;
        std::call_once(watching, [] { ::pthread_atfork(nullptr, nullptr, countFork); });
        while (length > 0) {
            const unsigned forks = g_forks.load(std::memory_order_relaxed);
            if (m_next == m_bytes.size() || forks != m_forks) {
                SecureRandom::fill(m_bytes.data(), m_bytes.size());
                m_next = 0;
                m_forks = forks;
            }
            const std::size_t chunk = std::min(length, m_bytes.size() - m_next);
            std::memcpy(data, m_bytes.data() + m_next, chunk);
            // What was handed out is not kept.
            OPENSSL_cleanse(m_bytes.data() + m_next, chunk);
            m_next += chunk;
            data += chunk;
            length -= chunk;
        }
    }

private:
    std::array<std::uint8_t, 4096> m_bytes{};
    std::size_t m_next = m_bytes.size();
    unsigned m_forks = 0;
};

void takeFromReserve(void* data, std::size_t length)
{
    thread_local Reserve reserve;
    reserve.take(static_cast<std::uint8_t*>(data), length);
}

} // namespace

void SecureRandom::fill(void* data, std::size_t length)
{
    auto* bytes = static_cast<std::uint8_t*>(data);
    while (length > 0) {
        const int chunk = static_cast<int>(std::min<std::size_t>(length, INT_MAX));
        if (RAND_bytes(bytes, chunk) != 1) {
            if (!fillFromKernel(bytes, static_cast<std::size_t>(chunk))) {
                // Writing predictable data where random data was promised would be a silent lie.
                logLine("No random source is available; stopping.");
                std::abort();
            }
        }
        bytes += chunk;
        length -= static_cast<std::size_t>(chunk);
    }
}

void SecureRandom::fill(std::span<std::uint8_t> buffer)
{
    fill(buffer.data(), buffer.size());
}

std::uint32_t SecureRandom::next32()
{
    std::uint32_t value = 0;
    takeFromReserve(&value, sizeof value);
    return value;
}

std::uint32_t SecureRandom::uniform(std::uint32_t upperBound)
{
    if (upperBound < 2)
        return 0;
    // Reject the low values that would make some results one draw more likely than others.
    const std::uint32_t threshold = (0u - upperBound) % upperBound;
    for (;;) {
        const std::uint32_t draw = next32();
        if (draw >= threshold)
            return draw % upperBound;
    }
}

std::string SecureRandom::alphanumeric(std::size_t count)
{
    // Bytes of 248 and above are dropped (248 = 4 x 62), so every character is equally likely.
    constexpr unsigned kLimit = 256 - 256 % kAlphanumeric.size();
    std::string text(count, '\0');
    std::size_t filled = 0;
    // As many bytes as characters are missing, each drawn once: a name of any length takes one or
    // two draws from the reserve.
    std::uint8_t batch[256];
    while (filled < count) {
        const std::size_t drawn = std::min(sizeof batch, count - filled);
        takeFromReserve(batch, drawn);
        for (std::size_t i = 0; i < drawn; ++i) {
            if (batch[i] < kLimit)
                text[filled++] = kAlphanumeric[batch[i] % kAlphanumeric.size()];
        }
    }
    return text;
}

} // namespace cv
