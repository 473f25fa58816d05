#include "engine/AesBlockTransform.h"

#include <algorithm>
#include <cstring>
#include <openssl/crypto.h>
#include <openssl/evp.h>

namespace cv {

void AesBlockTransform::CtxDeleter::operator()(evp_cipher_ctx_st* ctx) const
{
    EVP_CIPHER_CTX_free(ctx);
}

AesBlockTransform::AesBlockTransform(std::string_view key) : m_ctx(EVP_CIPHER_CTX_new())
{
    std::memcpy(m_key, key.data(), std::min(key.size(), sizeof m_key));
}

AesBlockTransform::~AesBlockTransform()
{
    OPENSSL_cleanse(m_key, sizeof m_key);
}

bool AesBlockTransform::decrypt(std::span<const std::uint8_t> in, std::vector<std::uint8_t>& out)
{
    static const std::uint8_t zeroIv[16] = {};
    out.resize(in.size() + 16);
    int produced = 0;
    int finalProduced = 0;
    const bool ok =
        m_ctx && in.size() <= static_cast<std::size_t>(INT32_MAX) &&
        EVP_DecryptInit_ex(m_ctx.get(), EVP_aes_256_cbc(), nullptr, m_key, zeroIv) == 1 &&
        EVP_DecryptUpdate(m_ctx.get(), out.data(), &produced, in.data(), static_cast<int>(in.size())) == 1 &&
        EVP_DecryptFinal_ex(m_ctx.get(), out.data() + produced, &finalProduced) == 1;
    if (!ok) {
        out.clear();
        return false;
    }
    out.resize(static_cast<std::size_t>(produced + finalProduced));
    return true;
}

} // namespace cv
