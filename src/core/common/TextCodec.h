// Text at the file boundary: Windows-1252 <-> UTF-8, UTF-16LE -> UTF-8, and
// comparison of names without regard to letter case. Inside the program all
// text is UTF-8; single-byte files are converted when read and written.
#pragma once

#include <string>
#include <string_view>

namespace oravent {

// Every byte maps to one character; the five bytes that Windows-1252 leaves
// unassigned map to the C1 controls of the same number, so any byte string
// converts back unchanged.
std::string Cp1252ToUtf8(std::string_view Bytes);
// Characters that Windows-1252 cannot hold, and malformed UTF-8, become "?".
std::string Utf8ToCp1252(std::string_view Text);
// UTF-16 little endian (no byte order mark) to UTF-8; unpaired surrogates and
// an odd last byte become U+FFFD.
std::string Utf16LeToUtf8(std::string_view Bytes);
std::string Utf8ToUtf16Le(std::string_view Text);
bool IsValidUtf8(std::string_view Text);

// Lower-case form used for comparing names: ASCII, Latin-1 and Latin
// Extended-A letters fold; everything else stays as it is.
std::string FoldCase(std::string_view Text);
bool SameText(std::string_view A, std::string_view B);

// Trims characters up to and including blank (control characters, blank)
// from both ends.
std::string_view TrimBlanks(std::string_view Text);

} // namespace oravent
