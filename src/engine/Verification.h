#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace cv {

// Which passes a job reads back from the device after writing them, to prove that they arrived.
enum class Verification
{
    Off,
    LastPass,
    AllPasses,
};

// Whether pass `cycle` of a method with `cycles` passes is read back.
inline bool verifiesPass(Verification verification, std::uint64_t cycle, std::uint64_t cycles)
{
    switch (verification) {
    case Verification::Off:
        return false;
    case Verification::LastPass:
        return cycle + 1 == cycles;
    case Verification::AllPasses:
        return cycle < cycles;
    }
    return false;
}

// "off", "last pass", "all passes": the words of the command line's JSON and the settings.
inline const char* verificationKey(Verification verification)
{
    switch (verification) {
    case Verification::LastPass:
        return "last pass";
    case Verification::AllPasses:
        return "all passes";
    case Verification::Off:
        break;
    }
    return "off";
}

// The reverse of verificationKey; nothing for words it does not know.
inline std::optional<Verification> verificationFromKey(std::string_view key)
{
    if (key == "off")
        return Verification::Off;
    if (key == "last pass")
        return Verification::LastPass;
    if (key == "all passes")
        return Verification::AllPasses;
    return std::nullopt;
}

} // namespace cv
