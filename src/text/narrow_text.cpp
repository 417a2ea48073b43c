#include "text/narrow_text.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace zenvik::text {

bool isLeadByte(unsigned char byte) { return byte >= 0x80; }

std::size_t charLength(std::string_view text, std::size_t i) {
    return isLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
}

namespace {

// True when index i starts a character. A byte below 0x80 is either a
// character of its own or the second byte of one, so the index after it is
// always a boundary; from there the bytes of 0x80 and above pair up.
bool startsCharacter(std::string_view text, std::size_t i) {
    std::size_t run = 0;
    while (run < i && isLeadByte(static_cast<unsigned char>(text[i - run - 1]))) ++run;
    return run % 2 == 0;
}

} // namespace

long find(std::string_view text, std::string_view needle, long from) {
    if (from < 1) from = 1;
    std::size_t start = static_cast<std::size_t>(from - 1);
    if (start > text.size()) return -1;
    // memmem finds candidates fast; a candidate counts only where a
    // character begins, never on the second byte of a two-byte character.
    if (needle.empty()) return static_cast<long>(start) + 1;
    for (std::size_t i = start; i + needle.size() <= text.size();) {
        const void* hit = memmem(text.data() + i, text.size() - i, needle.data(), needle.size());
        if (!hit) break;
        i = static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
        if (startsCharacter(text, i)) return static_cast<long>(i) + 1;
        ++i;
    }
    return -1;
}

namespace {

bool isFullWidthSpaceAt(std::string_view text, std::size_t i) {
    return i + 1 < text.size() && static_cast<unsigned char>(text[i]) == 0xA1 &&
           static_cast<unsigned char>(text[i + 1]) == 0xA1;
}

// Trims by whole characters: leading characters are skipped forward, and
// the end is found by walking forward too, since a two-byte character can
// only be recognised from its start.
Text trimWith(std::string_view text, bool fullWidth) {
    std::size_t begin = 0;
    while (begin < text.size()) {
        if (text[begin] == ' ') {
            begin += 1;
        } else if (fullWidth && isFullWidthSpaceAt(text, begin)) {
            begin += 2;
        } else {
            break;
        }
    }
    std::size_t end = begin;  // end of the last character that is not a space
    for (std::size_t i = begin; i < text.size();) {
        std::size_t n = charLength(text, i);
        bool space = text[i] == ' ' || (fullWidth && n == 2 && isFullWidthSpaceAt(text, i));
        i += n;
        if (!space) end = i;
    }
    return Text(text.substr(begin, end - begin));
}

} // namespace

Text trimSpaces(std::string_view text) { return trimWith(text, true); }

Text trimAsciiSpaces(std::string_view text) { return trimWith(text, false); }

std::vector<Text> splitLines(std::string_view text) {
    std::vector<Text> lines;
    std::size_t lineStart = 0;
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            lines.emplace_back(text.substr(lineStart, i - lineStart));
            i += 2;
            lineStart = i;
        } else {
            i += charLength(text, i);
        }
    }
    if (lineStart < text.size()) lines.emplace_back(text.substr(lineStart));
    return lines;
}

bool equalsIgnoreAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size();) {
        std::size_t n = charLength(a, i);
        if (n == 2) {
            if (a.compare(i, 2, b.substr(i, 2)) != 0) return false;
        } else {
            auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
            if (lower(a[i]) != lower(b[i])) return false;
            // b must not hold a lead byte where a holds a single-byte character
            if (isLeadByte(static_cast<unsigned char>(b[i])) != isLeadByte(static_cast<unsigned char>(a[i]))) return false;
        }
        i += n;
    }
    return true;
}

Text cutToBytes(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return Text(text);
    std::size_t end = 0;
    while (end < text.size()) {
        std::size_t n = charLength(text, end);
        if (end + n > maxBytes) break;
        end += n;
    }
    return Text(text.substr(0, end));
}

Text upToFirstZero(std::string_view bytes) {
    std::size_t zero = bytes.find('\0');
    return Text(bytes.substr(0, zero));
}

namespace {

std::optional<std::string> convert(std::string_view input, const char* to, const char* from) {
    if (input.empty()) return std::string();
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string out(input.size() * 4 + 4, '\0');
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    std::size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    bool ok = rc != static_cast<std::size_t>(-1) && inLeft == 0;
    if (ok) {
        // Flush any shift state; neither encoding has one, but be exact.
        ok = iconv(cd, nullptr, nullptr, &outPtr, &outLeft) != static_cast<std::size_t>(-1);
    }
    iconv_close(cd);
    if (!ok) return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

} // namespace

std::optional<std::string> toUtf8(std::string_view narrow) { return convert(narrow, "UTF-8", "CP936"); }

std::optional<Text> fromUtf8(std::string_view utf8) { return convert(utf8, "CP936", "UTF-8"); }

Text narrow(std::string_view utf8) { return fromUtf8(utf8).value_or(Text()); }

} // namespace zenvik::text
