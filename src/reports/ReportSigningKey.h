#pragma once

#include "common/Expected.h"

#include <QByteArray>
#include <QString>

#include <memory>

struct evp_pkey_st;
struct x509_st;

namespace cv {

// The user's key for signing reports: an ECDSA P-256 key and a self-signed X.509 certificate that
// names the user and the company of the report settings. Kept in a folder of the user's data
// (kFolderName below $XDG_DATA_HOME/Ostrevane/Cindervault): the key in a file only the user can
// read (0600, in a 0700 folder, never reached through a link), the certificate beside it. The key
// itself never leaves this class: reports carry the certificate, and no text of this class holds
// the key's bytes.
class ReportSigningKey
{
public:
    static constexpr QStringView kFolderName = u"report-signing";
    static constexpr QStringView kKeyFileName = u"key.pem";
    static constexpr QStringView kCertificateFileName = u"certificate.pem";
    static constexpr int kValidityDays = 3650;

    ReportSigningKey(ReportSigningKey&&) noexcept;
    ReportSigningKey& operator=(ReportSigningKey&&) noexcept;
    ~ReportSigningKey();

    // The folder of the user's signing key: $XDG_DATA_HOME (else ~/.local/share), then
    // Ostrevane/Cindervault/report-signing.
    static QString defaultFolder();

    // The key of folder; when the folder holds none yet, a new one is made and saved there with a
    // certificate naming userName (the login name when empty) and company. A key file that exists
    // but cannot be read is an error, never replaced: it may be the one recipients trust.
    static Expected<ReportSigningKey, QString> loadOrCreate(const QString& folder, const QString& userName,
                                                            const QString& company);
    // The key of folder, or why there is none.
    static Expected<ReportSigningKey, QString> load(const QString& folder);
    // A new key and certificate, replacing those of folder.
    static Expected<ReportSigningKey, QString> create(const QString& folder, const QString& userName,
                                                      const QString& company);
    // The certificate of folder alone (for checking reports against the user's own key).
    static Expected<QByteArray, QString> certificateOf(const QString& folder);
    // An organisation's key and certificate from a PKCS#12 file's bytes, opened with password,
    // replacing those of folder (the key written as create writes it). A wrong password, a file
    // without a key or certificate, or a key that does not belong to the certificate is an error
    // and leaves folder as it was.
    static Expected<ReportSigningKey, QString> importPkcs12(const QString& folder, const QByteArray& pkcs12,
                                                            const QString& password);
    // Writes the certificate of folder (PEM) as path, for recipients to trust.
    static Expected<void, QString> exportCertificate(const QString& folder, const QString& path);

    // The certificate, PEM and DER encoded.
    QByteArray certificatePem() const;
    QByteArray certificateDer() const;
    // SHA-256 of the certificate's DER bytes: "AB:CD:..." as openssl x509 -fingerprint prints it.
    QString fingerprint() const;
    // The name the certificate gives its holder: its common name, and the organisation after a
    // comma when there is one.
    QString holderName() const;

    // A detached CMS signature (DER) over data, with the signing certificate and the signing time;
    // nothing (with the reason) when OpenSSL refuses.
    Expected<QByteArray, QString> sign(const QByteArray& data) const;

    // The same for any certificate (a signer's, a trusted one).
    static QString fingerprintOf(const x509_st* certificate);
    static QString holderNameOf(const x509_st* certificate);
    // The SHA-256 fingerprint of a certificate file, PEM or DER; nothing when it holds none.
    static Expected<QString, QString> fingerprintOfFile(const QString& path);

private:
    ReportSigningKey();

    // Saves key and certificate in folder: the key 0600, through a new file that takes its name.
    Expected<void, QString> save(const QString& folder) const;

    struct KeyFree
    {
        void operator()(evp_pkey_st* key) const;
    };
    struct CertificateFree
    {
        void operator()(x509_st* certificate) const;
    };
    std::unique_ptr<evp_pkey_st, KeyFree> m_key;
    std::unique_ptr<x509_st, CertificateFree> m_certificate;
};

} // namespace cv
