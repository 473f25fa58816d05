#include "reports/ReportSignatureCheck.h"

#include "reports/ReportSigningKey.h"

#include <QTimeZone>

#include <openssl/bio.h>
#include <openssl/cms.h>
#include <openssl/err.h>
#include <openssl/x509.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace cv {

namespace {

// The signing time a signer's signed attributes carry; invalid when there is none.
QDateTime signingTime(CMS_SignerInfo* signer)
{
    const int index = CMS_signed_get_attr_by_NID(signer, NID_pkcs9_signingTime, -1);
    if (index < 0)
        return QDateTime();
    const ASN1_TYPE* value = X509_ATTRIBUTE_get0_type(CMS_signed_get_attr(signer, index), 0);
    if (!value || (value->type != V_ASN1_UTCTIME && value->type != V_ASN1_GENERALIZEDTIME))
        return QDateTime();
    std::tm time = {};
    if (ASN1_TIME_to_tm(reinterpret_cast<const ASN1_TIME*>(value->value.asn1_string), &time) != 1)
        return QDateTime();
    return QDateTime(QDate(time.tm_year + 1900, time.tm_mon + 1, time.tm_mday),
                     QTime(time.tm_hour, time.tm_min, time.tm_sec), QTimeZone::utc());
}

// The certificate among those the signature carries that belongs to signer.
X509* signerCertificate(CMS_SignerInfo* signer, STACK_OF(X509) * certificates)
{
    for (int i = 0; i < sk_X509_num(certificates); ++i) {
        X509* certificate = sk_X509_value(certificates, i);
        if (CMS_SignerInfo_cert_cmp(signer, certificate) == 0)
            return certificate;
    }
    return nullptr;
}

} // namespace

QString ReportSignatureCheck::normalizedFingerprint(const QString& fingerprint)
{
    QString digits;
    for (const QChar c : fingerprint)
        if (c.isDigit() || (c.toLower() >= u'a' && c.toLower() <= u'f'))
            digits += c.toUpper();
    return digits;
}

ReportVerdict ReportSignatureCheck::checkCms(const QByteArray& cmsDer, const QByteArray& signedBytes,
                                             const QStringList& trustedFingerprints)
{
    ReportVerdict verdict;
    verdict.state = ReportVerdict::State::Altered;
    const auto* der = reinterpret_cast<const unsigned char*>(cmsDer.constData());
    std::unique_ptr<CMS_ContentInfo, decltype(&CMS_ContentInfo_free)> cms(
        d2i_CMS_ContentInfo(nullptr, &der, static_cast<long>(cmsDer.size())), CMS_ContentInfo_free);
    STACK_OF(CMS_SignerInfo)* signers = cms ? CMS_get0_SignerInfos(cms.get()) : nullptr;
    if (!signers || sk_CMS_SignerInfo_num(signers) != 1) {
        ERR_clear_error();
        verdict.detail = u"altered after signing: the signature cannot be read"_s;
        return verdict;
    }
    CMS_SignerInfo* signer = sk_CMS_SignerInfo_value(signers, 0);
    std::unique_ptr<STACK_OF(X509), void (*)(STACK_OF(X509)*)> certificates(
        CMS_get1_certs(cms.get()), [](STACK_OF(X509) * stack) { sk_X509_pop_free(stack, X509_free); });
    const X509* certificate = signerCertificate(signer, certificates.get());
    if (!certificate) {
        verdict.detail = u"altered after signing: the signature carries no certificate of its signer"_s;
        return verdict;
    }
    verdict.signerName = ReportSigningKey::holderNameOf(certificate);
    verdict.fingerprint = ReportSigningKey::fingerprintOf(certificate);
    verdict.signedAt = signingTime(signer);

    std::unique_ptr<BIO, decltype(&BIO_free)> content(
        BIO_new_mem_buf(signedBytes.constData(), static_cast<int>(signedBytes.size())), BIO_free);
    const bool holds = CMS_verify(cms.get(), nullptr, nullptr, content.get(), nullptr,
                                  CMS_NO_SIGNER_CERT_VERIFY | CMS_BINARY | CMS_DETACHED) == 1;
    ERR_clear_error();
    if (!holds) {
        verdict.detail = u"altered after signing"_s;
        return verdict;
    }
    const QString own = normalizedFingerprint(verdict.fingerprint);
    for (const QString& trusted : trustedFingerprints) {
        if (normalizedFingerprint(trusted) == own) {
            verdict.state = ReportVerdict::State::Valid;
            return verdict;
        }
    }
    verdict.state = ReportVerdict::State::UnknownKey;
    verdict.detail = u"signed by an unknown key "_s + verdict.fingerprint;
    return verdict;
}

} // namespace cv
