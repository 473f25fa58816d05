#pragma once

#include <QString>

namespace cv {

// The application PIN as the settings file keeps it: never the PIN itself, but a salted slow hash
// (PBKDF2-HMAC-SHA256), written "pbkdf2-sha256$<iterations>$<salt>$<hash>" with salt and hash in
// Base64. People reuse PINs; whoever reads the settings file learns nothing that is quicker to get
// than by trying every PIN through the same slow hash. The iteration count travels with the hash,
// so that a later version can raise it and still read older hashes.
class PinHash
{
public:
    static constexpr int kIterations = 300'000;
    static constexpr int kSaltBytes = 16;
    static constexpr int kHashBytes = 32;

    // The stored form of pin with a fresh random salt.
    static QString make(const QString& pin, int iterations = kIterations);
    // True when stored is a hash made by make() (of any iteration count this class accepts).
    static bool isHash(const QString& stored);
    // True when pin is the PIN stored was made of. Compares in constant time; false for anything
    // that is not a well-formed hash.
    static bool matches(const QString& stored, const QString& pin);
};

} // namespace cv
