#include "reports/ReportSigningKey.h"

#include "common/PrivateFile.h"
#include "common/UniqueFd.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <openssl/bio.h>
#include <openssl/bn.h>
#include <openssl/cms.h>
#include <openssl/crypto.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/pkcs12.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace cv {

namespace {

struct BioFree
{
    void operator()(BIO* bio) const { BIO_free(bio); }
};
using Bio = std::unique_ptr<BIO, BioFree>;

// The last error OpenSSL queued, after what failed.
QString sslFailure(const char* what)
{
    char text[256] = {};
    ERR_error_string_n(ERR_get_error(), text, sizeof text);
    ERR_clear_error();
    return QString::fromUtf8(what) + u": "_s + QString::fromUtf8(text);
}

QByteArray bioBytes(BIO* bio)
{
    char* data = nullptr;
    const long size = BIO_get_mem_data(bio, &data);
    return size > 0 ? QByteArray(data, size) : QByteArray();
}

// Wipes the bytes of a key text before its memory goes back.
void cleanse(QByteArray& bytes)
{
    if (!bytes.isEmpty())
        OPENSSL_cleanse(bytes.data(), static_cast<size_t>(bytes.size()));
    bytes.clear();
}

// The whole of a file of the user's, opened through no link.
Expected<QByteArray, QString> readOwnFile(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    const UniqueFd fd(::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!fd)
        return Unexpected(path + u": "_s + QString::fromLocal8Bit(std::strerror(errno)));
    if (auto own = PrivateFile::checkOwnFile(fd.get()); !own)
        return Unexpected(path + u": "_s + QString::fromStdString(own.error()));
    QByteArray bytes;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            cleanse(bytes);
            return Unexpected(path + u": "_s + QString::fromLocal8Bit(std::strerror(errno)));
        }
        if (got == 0)
            break;
        bytes.append(buffer, got);
    }
    OPENSSL_cleanse(buffer, sizeof buffer);
    return bytes;
}

// Writes bytes as path (0600) through a new file beside it that then takes its name.
Expected<void, QString> writePrivateFile(const QString& path, const QByteArray& bytes)
{
    const QByteArray name = QFile::encodeName(path);
    const QByteArray temporary = name + ".new";
    ::unlink(temporary.constData());
    UniqueFd fd(::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                       PrivateFile::kFileMode));
    const auto fail = [&](int error) {
        ::unlink(temporary.constData());
        return Unexpected(path + u": "_s + QString::fromLocal8Bit(std::strerror(error)));
    };
    if (!fd)
        return fail(errno);
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t wrote =
            ::write(fd.get(), bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            return fail(wrote < 0 ? errno : EIO);
        done += wrote;
    }
    if (::fsync(fd.get()) != 0)
        return fail(errno);
    if (const int closed = fd.reset(); closed != 0)
        return fail(closed);
    if (::rename(temporary.constData(), name.constData()) != 0)
        return fail(errno);
    return {};
}

QString loginName()
{
    if (const passwd* user = ::getpwuid(::geteuid()); user && user->pw_name)
        return QString::fromLocal8Bit(user->pw_name);
    return u"Cindervault user"_s;
}

QString nameEntry(const X509_NAME* name, int nid)
{
    const int index = X509_NAME_get_index_by_NID(name, nid, -1);
    if (index < 0)
        return QString();
    unsigned char* text = nullptr;
    const int length = ASN1_STRING_to_UTF8(&text, X509_NAME_ENTRY_get_data(X509_NAME_get_entry(name, index)));
    if (length < 0)
        return QString();
    QString value = QString::fromUtf8(reinterpret_cast<const char*>(text), length);
    OPENSSL_free(text);
    return value;
}

bool addExtension(X509* certificate, int nid, const char* value)
{
    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, certificate, certificate, nullptr, nullptr, 0);
    X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value);
    if (!extension)
        return false;
    const bool added = X509_add_ext(certificate, extension, -1) == 1;
    X509_EXTENSION_free(extension);
    return added;
}

} // namespace

void ReportSigningKey::KeyFree::operator()(evp_pkey_st* key) const
{
    EVP_PKEY_free(key);
}

void ReportSigningKey::CertificateFree::operator()(x509_st* certificate) const
{
    X509_free(certificate);
}

ReportSigningKey::ReportSigningKey() = default;
ReportSigningKey::ReportSigningKey(ReportSigningKey&&) noexcept = default;
ReportSigningKey& ReportSigningKey::operator=(ReportSigningKey&&) noexcept = default;
ReportSigningKey::~ReportSigningKey() = default;

QString ReportSigningKey::defaultFolder()
{
    QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty())
        data = QDir::home().filePath(u".local/share"_s);
    return data + u"/Ostrevane/Cindervault/"_s + kFolderName.toString();
}

Expected<ReportSigningKey, QString>
ReportSigningKey::loadOrCreate(const QString& folder, const QString& userName, const QString& company)
{
    const QString keyPath = folder + u'/' + kKeyFileName.toString();
    struct stat info = {};
    if (::lstat(QFile::encodeName(keyPath).constData(), &info) != 0 && errno == ENOENT)
        return create(folder, userName, company);
    return load(folder);
}

Expected<ReportSigningKey, QString> ReportSigningKey::load(const QString& folder)
{
    if (folder.isEmpty())
        return Unexpected(u"no folder for the signing key"_s);
    auto keyText = readOwnFile(folder + u'/' + kKeyFileName.toString());
    if (!keyText)
        return Unexpected(keyText.error());
    ReportSigningKey key;
    {
        const Bio bio(BIO_new_mem_buf(keyText->constData(), static_cast<int>(keyText->size())));
        key.m_key.reset(PEM_read_bio_PrivateKey(bio.get(), nullptr, nullptr, nullptr));
    }
    cleanse(*keyText);
    if (!key.m_key) {
        ERR_clear_error();
        return Unexpected(u"the key file holds no private key"_s);
    }
    const auto certificateText = certificateOf(folder);
    if (!certificateText)
        return Unexpected(certificateText.error());
    const Bio bio(BIO_new_mem_buf(certificateText->constData(), static_cast<int>(certificateText->size())));
    key.m_certificate.reset(PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr));
    if (!key.m_certificate) {
        ERR_clear_error();
        return Unexpected(u"the signing certificate cannot be read"_s);
    }
    if (X509_check_private_key(key.m_certificate.get(), key.m_key.get()) != 1) {
        ERR_clear_error();
        return Unexpected(u"the signing key and its certificate do not belong together"_s);
    }
    return key;
}

Expected<QByteArray, QString> ReportSigningKey::certificateOf(const QString& folder)
{
    QFile file(folder + u'/' + kCertificateFileName.toString());
    if (!file.open(QIODevice::ReadOnly))
        return Unexpected(u"the signing certificate cannot be read: "_s + file.errorString());
    return file.readAll();
}

Expected<ReportSigningKey, QString> ReportSigningKey::create(const QString& folder, const QString& userName,
                                                             const QString& company)
{
    if (folder.isEmpty())
        return Unexpected(u"no folder for the signing key"_s);
    if (auto made = PrivateFile::createFolders(QFile::encodeName(folder).toStdString()); !made)
        return Unexpected(QString::fromStdString(made.error()));
    ReportSigningKey key;
    key.m_key.reset(EVP_EC_gen("P-256"));
    if (!key.m_key)
        return Unexpected(sslFailure("no key could be made"));
    key.m_certificate.reset(X509_new());
    X509* certificate = key.m_certificate.get();
    X509_NAME* name = X509_get_subject_name(certificate);
    const QByteArray holder = (userName.trimmed().isEmpty() ? loginName() : userName.trimmed()).toUtf8();
    const QByteArray organisation = company.trimmed().toUtf8();
    std::unique_ptr<BIGNUM, decltype(&BN_free)> serial(BN_new(), BN_free);
    bool ok = X509_set_version(certificate, X509_VERSION_3) == 1 && serial &&
              BN_rand(serial.get(), 127, BN_RAND_TOP_ANY, BN_RAND_BOTTOM_ANY) == 1 &&
              BN_to_ASN1_INTEGER(serial.get(), X509_get_serialNumber(certificate)) &&
              X509_gmtime_adj(X509_getm_notBefore(certificate), -60) &&
              X509_gmtime_adj(X509_getm_notAfter(certificate), 86400L * kValidityDays) &&
              X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_UTF8,
                                         reinterpret_cast<const unsigned char*>(holder.constData()),
                                         static_cast<int>(holder.size()), -1, 0) == 1;
    if (ok && !organisation.isEmpty())
        ok = X509_NAME_add_entry_by_txt(name, "O", MBSTRING_UTF8,
                                        reinterpret_cast<const unsigned char*>(organisation.constData()),
                                        static_cast<int>(organisation.size()), -1, 0) == 1;
    ok = ok && X509_set_issuer_name(certificate, name) == 1 &&
         X509_set_pubkey(certificate, key.m_key.get()) == 1 &&
         addExtension(certificate, NID_basic_constraints, "critical,CA:FALSE") &&
         addExtension(certificate, NID_key_usage, "critical,digitalSignature,nonRepudiation") &&
         addExtension(certificate, NID_subject_key_identifier, "hash") &&
         X509_sign(certificate, key.m_key.get(), EVP_sha256()) > 0;
    if (!ok)
        return Unexpected(sslFailure("no certificate could be made"));

    if (auto saved = key.save(folder); !saved)
        return Unexpected(saved.error());
    return key;
}

Expected<void, QString> ReportSigningKey::save(const QString& folder) const
{
    const Bio keyBio(BIO_new(BIO_s_mem()));
    if (PEM_write_bio_PrivateKey(keyBio.get(), m_key.get(), nullptr, nullptr, 0, nullptr, nullptr) != 1)
        return Unexpected(sslFailure("the signing key could not be encoded"));
    QByteArray keyText = bioBytes(keyBio.get());
    auto wroteKey = writePrivateFile(folder + u'/' + kKeyFileName.toString(), keyText);
    cleanse(keyText);
    if (!wroteKey)
        return Unexpected(u"the signing key could not be saved: "_s + wroteKey.error());
    if (auto wrote = writePrivateFile(folder + u'/' + kCertificateFileName.toString(), certificatePem());
        !wrote)
        return Unexpected(u"the signing certificate could not be saved: "_s + wrote.error());
    return {};
}

Expected<ReportSigningKey, QString>
ReportSigningKey::importPkcs12(const QString& folder, const QByteArray& pkcs12, const QString& password)
{
    if (folder.isEmpty())
        return Unexpected(u"no folder for the signing key"_s);
    const auto* der = reinterpret_cast<const unsigned char*>(pkcs12.constData());
    std::unique_ptr<PKCS12, decltype(&PKCS12_free)> bundle(
        d2i_PKCS12(nullptr, &der, static_cast<long>(pkcs12.size())), PKCS12_free);
    if (!bundle) {
        ERR_clear_error();
        return Unexpected(u"the file is not a PKCS#12 file"_s);
    }
    QByteArray secret = password.toUtf8();
    EVP_PKEY* privateKey = nullptr;
    X509* certificate = nullptr;
    STACK_OF(X509)* chain = nullptr;
    const bool opened =
        PKCS12_parse(bundle.get(), secret.constData(), &privateKey, &certificate, &chain) == 1;
    cleanse(secret);
    sk_X509_pop_free(chain, X509_free);
    ReportSigningKey key;
    key.m_key.reset(privateKey);
    key.m_certificate.reset(certificate);
    ERR_clear_error();
    if (!opened)
        return Unexpected(u"the password is wrong or the file is damaged"_s);
    if (!key.m_key)
        return Unexpected(u"the file holds no private key"_s);
    if (!key.m_certificate)
        return Unexpected(u"the file holds no certificate"_s);
    if (X509_check_private_key(key.m_certificate.get(), key.m_key.get()) != 1) {
        ERR_clear_error();
        return Unexpected(u"the key and the certificate of the file do not belong together"_s);
    }
    if (auto made = PrivateFile::createFolders(QFile::encodeName(folder).toStdString()); !made)
        return Unexpected(QString::fromStdString(made.error()));
    if (auto saved = key.save(folder); !saved)
        return Unexpected(saved.error());
    return key;
}

Expected<void, QString> ReportSigningKey::exportCertificate(const QString& folder, const QString& path)
{
    const auto certificate = certificateOf(folder);
    if (!certificate)
        return Unexpected(certificate.error());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(*certificate) != certificate->size() || !file.flush())
        return Unexpected(path + u": "_s + file.errorString());
    return {};
}

QByteArray ReportSigningKey::certificatePem() const
{
    const Bio bio(BIO_new(BIO_s_mem()));
    if (PEM_write_bio_X509(bio.get(), m_certificate.get()) != 1)
        return QByteArray();
    return bioBytes(bio.get());
}

QByteArray ReportSigningKey::certificateDer() const
{
    unsigned char* der = nullptr;
    const int length = i2d_X509(m_certificate.get(), &der);
    if (length <= 0)
        return QByteArray();
    QByteArray bytes(reinterpret_cast<const char*>(der), length);
    OPENSSL_free(der);
    return bytes;
}

QString ReportSigningKey::fingerprint() const
{
    return fingerprintOf(m_certificate.get());
}

QString ReportSigningKey::holderName() const
{
    return holderNameOf(m_certificate.get());
}

Expected<QByteArray, QString> ReportSigningKey::sign(const QByteArray& data) const
{
    const Bio content(BIO_new_mem_buf(data.constData(), static_cast<int>(data.size())));
    std::unique_ptr<CMS_ContentInfo, decltype(&CMS_ContentInfo_free)> cms(
        CMS_sign(m_certificate.get(), m_key.get(), nullptr, content.get(),
                 CMS_DETACHED | CMS_BINARY | CMS_NOSMIMECAP),
        CMS_ContentInfo_free);
    if (!cms)
        return Unexpected(sslFailure("the report could not be signed"));
    unsigned char* der = nullptr;
    const int length = i2d_CMS_ContentInfo(cms.get(), &der);
    if (length <= 0)
        return Unexpected(sslFailure("the signature could not be encoded"));
    QByteArray bytes(reinterpret_cast<const char*>(der), length);
    OPENSSL_free(der);
    return bytes;
}

QString ReportSigningKey::fingerprintOf(const x509_st* certificate)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (!certificate || X509_digest(certificate, EVP_sha256(), digest, &length) != 1)
        return QString();
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char*>(digest), static_cast<qsizetype>(length))
            .toHex(':')
            .toUpper());
}

QString ReportSigningKey::holderNameOf(const x509_st* certificate)
{
    if (!certificate)
        return QString();
    const X509_NAME* name = X509_get_subject_name(certificate);
    const QString holder = nameEntry(name, NID_commonName);
    const QString organisation = nameEntry(name, NID_organizationName);
    return organisation.isEmpty() ? holder : holder + u", "_s + organisation;
}

Expected<QString, QString> ReportSigningKey::fingerprintOfFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Unexpected(path + u": "_s + file.errorString());
    const QByteArray bytes = file.readAll();
    const Bio bio(BIO_new_mem_buf(bytes.constData(), static_cast<int>(bytes.size())));
    std::unique_ptr<X509, decltype(&X509_free)> certificate(
        PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr), X509_free);
    if (!certificate) {
        const auto* der = reinterpret_cast<const unsigned char*>(bytes.constData());
        certificate.reset(d2i_X509(nullptr, &der, static_cast<long>(bytes.size())));
    }
    ERR_clear_error();
    if (!certificate)
        return Unexpected(path + u": no certificate"_s);
    return fingerprintOf(certificate.get());
}

} // namespace cv
