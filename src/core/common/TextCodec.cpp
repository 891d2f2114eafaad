// Windows-1252 / UTF-16LE / UTF-8 conversion and case folding of names.
#include "common/TextCodec.h"

#include <array>
#include <cstdint>

namespace oravent {

namespace {

// Code points of bytes 0x80..0x9F in Windows-1252 (unassigned bytes map to
// the C1 control of the same number).
constexpr std::array<char32_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& Out, char32_t C) {
    if (C < 0x80) {
        Out += static_cast<char>(C);
    } else if (C < 0x800) {
        Out += static_cast<char>(0xC0 | (C >> 6));
        Out += static_cast<char>(0x80 | (C & 0x3F));
    } else if (C < 0x10000) {
        Out += static_cast<char>(0xE0 | (C >> 12));
        Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (C & 0x3F));
    } else {
        Out += static_cast<char>(0xF0 | (C >> 18));
        Out += static_cast<char>(0x80 | ((C >> 12) & 0x3F));
        Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (C & 0x3F));
    }
}

// Decodes one UTF-8 sequence at Text[Pos]; advances Pos. Returns false (and
// advances by one byte) for a malformed sequence.
bool DecodeUtf8(std::string_view Text, std::size_t& Pos, char32_t& C) {
    const auto B0 = static_cast<unsigned char>(Text[Pos]);
    if (B0 < 0x80) {
        C = B0;
        ++Pos;
        return true;
    }
    int Len = 0;
    char32_t Min = 0;
    if ((B0 & 0xE0) == 0xC0) {
        Len = 2;
        C = B0 & 0x1F;
        Min = 0x80;
    } else if ((B0 & 0xF0) == 0xE0) {
        Len = 3;
        C = B0 & 0x0F;
        Min = 0x800;
    } else if ((B0 & 0xF8) == 0xF0) {
        Len = 4;
        C = B0 & 0x07;
        Min = 0x10000;
    } else {
        ++Pos;
        return false;
    }
    if (Pos + Len > Text.size()) {
        ++Pos;
        return false;
    }
    for (int I = 1; I < Len; ++I) {
        const auto B = static_cast<unsigned char>(Text[Pos + I]);
        if ((B & 0xC0) != 0x80) {
            ++Pos;
            return false;
        }
        C = (C << 6) | (B & 0x3F);
    }
    if (C < Min || C > 0x10FFFF || (C >= 0xD800 && C <= 0xDFFF)) {
        ++Pos;
        return false;
    }
    Pos += Len;
    return true;
}

char32_t FoldChar(char32_t C) {
    if (C >= 'A' && C <= 'Z') return C + 32;
    if (C >= 0xC0 && C <= 0xDE && C != 0xD7) return C + 32;
    if (C >= 0x100 && C <= 0x137 && (C & 1) == 0) return C + 1;
    if (C >= 0x139 && C <= 0x148 && (C & 1) == 1) return C + 1;
    if (C >= 0x14A && C <= 0x177 && (C & 1) == 0) return C + 1;
    if (C == 0x178) return 0xFF;
    if (C >= 0x179 && C <= 0x17E && (C & 1) == 1) return C + 1;
    return C;
}

} // namespace

std::string Cp1252ToUtf8(std::string_view Bytes) {
    std::string Out;
    Out.reserve(Bytes.size() + Bytes.size() / 8);
    for (char Ch : Bytes) {
        const auto B = static_cast<unsigned char>(Ch);
        if (B < 0x80)
            Out += Ch;
        else if (B < 0xA0)
            AppendUtf8(Out, kHigh[B - 0x80]);
        else
            AppendUtf8(Out, B);
    }
    return Out;
}

std::string Utf8ToCp1252(std::string_view Text) {
    std::string Out;
    Out.reserve(Text.size());
    std::size_t Pos = 0;
    while (Pos < Text.size()) {
        char32_t C = 0;
        if (!DecodeUtf8(Text, Pos, C)) {
            Out += '?';
            continue;
        }
        if (C < 0x80 || (C >= 0xA0 && C <= 0xFF)) {
            Out += static_cast<char>(C);
            continue;
        }
        char Mapped = '?';
        for (std::size_t I = 0; I < kHigh.size(); ++I) {
            if (kHigh[I] == C) {
                Mapped = static_cast<char>(0x80 + I);
                break;
            }
        }
        Out += Mapped;
    }
    return Out;
}

std::string Utf16LeToUtf8(std::string_view Bytes) {
    std::string Out;
    Out.reserve(Bytes.size() / 2);
    const std::size_t N = Bytes.size() / 2;
    auto Unit = [&](std::size_t I) {
        return static_cast<char32_t>(static_cast<unsigned char>(Bytes[2 * I]) |
                                     (static_cast<unsigned char>(Bytes[2 * I + 1]) << 8));
    };
    for (std::size_t I = 0; I < N; ++I) {
        char32_t C = Unit(I);
        if (C >= 0xD800 && C <= 0xDBFF && I + 1 < N && Unit(I + 1) >= 0xDC00 &&
            Unit(I + 1) <= 0xDFFF) {
            C = 0x10000 + ((C - 0xD800) << 10) + (Unit(I + 1) - 0xDC00);
            ++I;
        } else if (C >= 0xD800 && C <= 0xDFFF) {
            C = 0xFFFD;
        }
        AppendUtf8(Out, C);
    }
    if (Bytes.size() % 2 != 0) AppendUtf8(Out, 0xFFFD);
    return Out;
}

std::string Utf8ToUtf16Le(std::string_view Text) {
    std::string Out;
    Out.reserve(Text.size() * 2);
    auto Put = [&](char32_t U) {
        Out += static_cast<char>(U & 0xFF);
        Out += static_cast<char>((U >> 8) & 0xFF);
    };
    std::size_t Pos = 0;
    while (Pos < Text.size()) {
        char32_t C = 0;
        if (!DecodeUtf8(Text, Pos, C)) C = 0xFFFD;
        if (C >= 0x10000) {
            C -= 0x10000;
            Put(0xD800 + (C >> 10));
            Put(0xDC00 + (C & 0x3FF));
        } else {
            Put(C);
        }
    }
    return Out;
}

bool IsValidUtf8(std::string_view Text) {
    std::size_t Pos = 0;
    while (Pos < Text.size()) {
        char32_t C = 0;
        if (!DecodeUtf8(Text, Pos, C)) return false;
    }
    return true;
}

std::string FoldCase(std::string_view Text) {
    std::string Out;
    Out.reserve(Text.size());
    std::size_t Pos = 0;
    while (Pos < Text.size()) {
        const std::size_t Start = Pos;
        char32_t C = 0;
        if (!DecodeUtf8(Text, Pos, C)) {
            Out += Text[Start]; // keep malformed bytes as they are
            continue;
        }
        AppendUtf8(Out, FoldChar(C));
    }
    return Out;
}

bool SameText(std::string_view A, std::string_view B) {
    // Fast path: plain ASCII on both sides.
    if (A.size() == B.size()) {
        bool Ascii = true;
        for (std::size_t I = 0; I < A.size(); ++I) {
            auto CA = static_cast<unsigned char>(A[I]);
            auto CB = static_cast<unsigned char>(B[I]);
            if (CA >= 0x80 || CB >= 0x80) {
                Ascii = false;
                break;
            }
            if (CA >= 'A' && CA <= 'Z') CA += 32;
            if (CB >= 'A' && CB <= 'Z') CB += 32;
            if (CA != CB) return false;
        }
        if (Ascii) return true;
    }
    return FoldCase(A) == FoldCase(B);
}

std::string_view TrimBlanks(std::string_view Text) {
    std::size_t B = 0;
    std::size_t E = Text.size();
    while (B < E && static_cast<unsigned char>(Text[B]) <= ' ')
        ++B;
    while (E > B && static_cast<unsigned char>(Text[E - 1]) <= ' ')
        --E;
    return Text.substr(B, E - B);
}

} // namespace oravent
