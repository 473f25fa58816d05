#include "settings/PinHash.h"

#include "common/SecureRandom.h"

#include <QByteArray>
#include <QStringList>

#include <optional>

#include <openssl/crypto.h>
#include <openssl/evp.h>

using namespace Qt::StringLiterals;

namespace cv {

namespace {

constexpr QStringView kScheme = u"pbkdf2-sha256";
// Bounds on a stored count: a tampered file can make a check neither trivial nor endless.
constexpr int kMinIterations = 1000;
constexpr int kMaxIterations = 10'000'000;

struct Parts
{
    int iterations = 0;
    QByteArray salt;
    QByteArray hash;
};

std::optional<Parts> split(const QString& stored)
{
    const QStringList fields = stored.split(u'$');
    if (fields.size() != 4 || fields[0] != kScheme)
        return std::nullopt;
    Parts parts;
    bool ok = false;
    parts.iterations = fields[1].toInt(&ok);
    if (!ok || parts.iterations < kMinIterations || parts.iterations > kMaxIterations)
        return std::nullopt;
    const auto salt =
        QByteArray::fromBase64Encoding(fields[2].toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    const auto hash =
        QByteArray::fromBase64Encoding(fields[3].toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!salt || !hash || (*salt).size() < 8 || (*hash).size() != PinHash::kHashBytes)
        return std::nullopt;
    parts.salt = *salt;
    parts.hash = *hash;
    return parts;
}

QByteArray derive(const QString& pin, const QByteArray& salt, int iterations)
{
    const QByteArray secret = pin.toUtf8();
    QByteArray out(PinHash::kHashBytes, '\0');
    const int ok = PKCS5_PBKDF2_HMAC(secret.constData(), int(secret.size()),
                                     reinterpret_cast<const unsigned char*>(salt.constData()),
                                     int(salt.size()), iterations, EVP_sha256(), int(out.size()),
                                     reinterpret_cast<unsigned char*>(out.data()));
    return ok == 1 ? out : QByteArray();
}

} // namespace

QString PinHash::make(const QString& pin, int iterations)
{
    QByteArray salt(kSaltBytes, '\0');
    SecureRandom::fill(salt.data(), std::size_t(salt.size()));
    const QByteArray hash = derive(pin, salt, iterations);
    if (hash.isEmpty())
        return {};
    return kScheme.toString() + u'$' + QString::number(iterations) + u'$' +
           QString::fromLatin1(salt.toBase64()) + u'$' + QString::fromLatin1(hash.toBase64());
}

bool PinHash::isHash(const QString& stored)
{
    return split(stored).has_value();
}

bool PinHash::matches(const QString& stored, const QString& pin)
{
    const auto parts = split(stored);
    if (!parts)
        return false;
    const QByteArray hash = derive(pin, parts->salt, parts->iterations);
    return hash.size() == parts->hash.size() &&
           CRYPTO_memcmp(hash.constData(), parts->hash.constData(), std::size_t(hash.size())) == 0;
}

} // namespace cv
