#include "cli/JsonWriter.h"

#include <cstdio>

namespace cv::cli {

namespace {

// Length of the valid UTF-8 sequence starting at bytes[i], or 0 when the byte there starts none
// (overlong forms, surrogates and code points above U+10FFFF are invalid).
std::size_t validSequenceLength(std::string_view bytes, std::size_t i)
{
    const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(bytes[at]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80)
        return 1;
    std::size_t length;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (i + length > bytes.size())
        return 0;
    if (byte(i + 1) < low || byte(i + 1) > high)
        return 0;
    for (std::size_t k = 2; k < length; ++k) {
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF)
            return 0;
    }
    return length;
}

} // namespace

void JsonWriter::beforeValue()
{
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (!m_hasMembers.empty()) {
        if (m_hasMembers.back())
            m_text.push_back(',');
        m_hasMembers.back() = true;
    }
}

void JsonWriter::beginObject()
{
    beforeValue();
    m_text.push_back('{');
    m_hasMembers.push_back(false);
}

void JsonWriter::endObject()
{
    m_text.push_back('}');
    m_hasMembers.pop_back();
}

void JsonWriter::beginArray()
{
    beforeValue();
    m_text.push_back('[');
    m_hasMembers.push_back(false);
}

void JsonWriter::endArray()
{
    m_text.push_back(']');
    m_hasMembers.pop_back();
}

void JsonWriter::key(std::string_view name)
{
    string(name);
    m_text.push_back(':');
    m_afterKey = true;
}

void JsonWriter::number(std::int64_t value)
{
    beforeValue();
    m_text.append(std::to_string(value));
}

void JsonWriter::number(std::uint64_t value)
{
    beforeValue();
    m_text.append(std::to_string(value));
}

void JsonWriter::boolean(bool value)
{
    beforeValue();
    m_text.append(value ? "true" : "false");
}

void JsonWriter::null()
{
    beforeValue();
    m_text.append("null");
}

void JsonWriter::string(std::string_view bytes)
{
    beforeValue();
    m_text.push_back('"');
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = validSequenceLength(bytes, i);
        if (length == 0) {
            m_text.append("\xEF\xBF\xBD"); // U+FFFD for this one byte
            ++i;
            continue;
        }
        const char c = bytes[i];
        if (length > 1) {
            m_text.append(bytes.substr(i, length));
        } else if (c == '"' || c == '\\') {
            m_text.push_back('\\');
            m_text.push_back(c);
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
            m_text.append(escaped);
        } else {
            m_text.push_back(c);
        }
        i += length;
    }
    m_text.push_back('"');
}

void JsonWriter::bytesMember(std::string_view name, std::string_view bytes)
{
    key(name);
    string(bytes);
    if (!isValidUtf8(bytes)) {
        key(std::string(name) + "Base64");
        string(base64(bytes));
    }
}

bool JsonWriter::isValidUtf8(std::string_view bytes)
{
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = validSequenceLength(bytes, i);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

std::string JsonWriter::base64(std::string_view bytes)
{
    static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string encoded;
    encoded.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t left = bytes.size() - i;
        std::uint32_t group = static_cast<unsigned char>(bytes[i]) << 16;
        if (left > 1)
            group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        if (left > 2)
            group |= static_cast<unsigned char>(bytes[i + 2]);
        encoded.push_back(kAlphabet[(group >> 18) & 63]);
        encoded.push_back(kAlphabet[(group >> 12) & 63]);
        encoded.push_back(left > 1 ? kAlphabet[(group >> 6) & 63] : '=');
        encoded.push_back(left > 2 ? kAlphabet[group & 63] : '=');
    }
    return encoded;
}

} // namespace cv::cli
