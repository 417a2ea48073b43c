#pragma once
// Narrow text: byte strings in code page 936. Every text that Zenvik keeps,
// compares, stores or sends is one. A byte of 0x80 or above starts a
// two-byte character; positions are 1-based and -1 means "not found".

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zenvik {

using Text = std::string;

namespace text {

// True when the byte starts a two-byte character.
bool isLeadByte(unsigned char byte);

// Byte length of the character that starts at index i (0-based): 2 for a
// lead byte followed by another byte, else 1.
std::size_t charLength(std::string_view text, std::size_t i);

// 1-based position of the first occurrence of needle at or after the 1-based
// position from, trying a match only where a character begins; -1 when none.
// An empty needle is found at from when from lies inside the text.
long find(std::string_view text, std::string_view needle, long from = 1);

// Removes half-width (0x20) and full-width (A1 A1) spaces at both ends,
// whole characters only.
Text trimSpaces(std::string_view text);

// Removes ASCII spaces (0x20) at both ends.
Text trimAsciiSpaces(std::string_view text);

// Splits at every "\r\n", moving by whole characters: each "\r\n" ends a line
// (which may be empty); the text after the last "\r\n" is a line only when it
// is not empty; an empty text gives no line.
std::vector<Text> splitLines(std::string_view text);

// Equal without regard to ASCII letter case; two-byte characters compared as
// units (their bytes are never case-folded).
bool equalsIgnoreAsciiCase(std::string_view a, std::string_view b);

// The longest prefix of at most maxBytes bytes that does not end inside a
// two-byte character.
Text cutToBytes(std::string_view text, std::size_t maxBytes);

// The bytes up to, not including, the first zero byte (all when none).
Text upToFirstZero(std::string_view bytes);

// Conversions at the edges (widgets, file names). Empty result when the
// input cannot be converted; an empty input converts to an empty output.
std::optional<std::string> toUtf8(std::string_view narrow);
std::optional<Text> fromUtf8(std::string_view utf8);

// A UTF-8 text of the program's own sources (captions, messages, field
// names) as narrow text; empty when it holds a character that code page 936
// cannot hold, which the tests of each literal rule out.
Text narrow(std::string_view utf8);

// Full-width forms replaced by their ASCII counterparts, then the longest
// leading decimal floating-point number (0 when there is none).
double textToNumber(std::string_view text);

// The leading decimal integer after white space (optional sign, digits; 0
// without digits), clamped to [low, high].
std::int64_t leadingInteger(std::string_view text, std::int64_t low, std::int64_t high);

// The text of an integer edit box once it loses the focus: the leading
// integer clamped to [low, high] in decimal, and the empty text for 0.
Text integerEditText(std::string_view text, std::int64_t low, std::int64_t high);

// A timer period typed as a number of units: textToNumber(text) * unitMs,
// truncated toward zero and clamped into the signed 32-bit range.
std::int32_t periodFromText(std::string_view text, double unitMs);

// The polling period: units of 10 seconds.
std::int32_t monitorPeriod(std::string_view text);

// "2014年3月16日9时5分7秒" style time stamp of the given local time.
Text timeStampText(const std::tm& local);
// The same for the local clock now, in whole seconds.
Text timeStampNow();

} // namespace text
} // namespace zenvik
