#include "common/SecureRandom.h"

#include "common/Log.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <openssl/rand.h>
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
    fill(&value, sizeof value);
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
    // Bytes of 248 and above are dropped (248 = 4 x 62), so every character is equally likely;
    // drawing them in batches keeps a name to one call of the generator.
    constexpr unsigned kLimit = 256 - 256 % kAlphanumeric.size();
    std::string text;
    text.reserve(count);
    std::uint8_t batch[64];
    while (text.size() < count) {
        const std::size_t drawn = std::min(sizeof batch, (count - text.size()) * 2 + 4);
        fill(batch, drawn);
        for (std::size_t i = 0; i < drawn && text.size() < count; ++i) {
            if (batch[i] < kLimit)
                text.push_back(kAlphanumeric[batch[i] % kAlphanumeric.size()]);
        }
    }
    return text;
}

} // namespace cv
