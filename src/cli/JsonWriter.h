#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cv::cli {

// Builds one compact JSON text for the commands' machine-readable output. Strings are byte
// strings: valid UTF-8 passes as it is, each byte that is not part of a valid sequence becomes
// U+FFFD. Where exact bytes matter (paths), bytesMember() adds them in Base64 beside the text.
class JsonWriter
{
public:
    void beginObject();
    void endObject();
    void beginArray();
    void endArray();
    // Starts a member of the current object; its value follows.
    void key(std::string_view name);

    void number(std::int64_t value);
    void number(std::uint64_t value);
    void boolean(bool value);
    void null();
    void string(std::string_view bytes);

    // "name": the bytes as text and, when they are not valid UTF-8, "nameBase64": the exact bytes.
    void bytesMember(std::string_view name, std::string_view bytes);

    const std::string& text() const { return m_text; }

    static bool isValidUtf8(std::string_view bytes);
    static std::string base64(std::string_view bytes);

private:
    void beforeValue();

    std::string m_text;
    std::vector<bool> m_hasMembers; // per open object or array: whether it holds anything yet
    bool m_afterKey = false;
};

} // namespace cv::cli
