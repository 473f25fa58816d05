#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

struct evp_cipher_ctx_st;

namespace cv {

// The cipher pass's transformation: AES-256 in CBC mode, decrypt direction, PKCS#7 padding, an
// all-zero IV, keyed by a short string (its UTF-8 bytes, at most 32, followed by zero bytes).
// Decrypting data that was never encrypted fails for most blocks; the caller writes zeros then.
class AesBlockTransform
{
public:
    explicit AesBlockTransform(std::string_view key);
    ~AesBlockTransform();
    AesBlockTransform(const AesBlockTransform&) = delete;
    AesBlockTransform& operator=(const AesBlockTransform&) = delete;

    // Decrypts `in` as one message into `out` (resized to fit); false when the length is not a
    // multiple of 16 or the padding is invalid, leaving `out` empty.
    bool decrypt(std::span<const std::uint8_t> in, std::vector<std::uint8_t>& out);

private:
    std::uint8_t m_key[32] = {};
    struct CtxDeleter
    {
        void operator()(evp_cipher_ctx_st* ctx) const;
    };
    std::unique_ptr<evp_cipher_ctx_st, CtxDeleter> m_ctx;
};

} // namespace cv
