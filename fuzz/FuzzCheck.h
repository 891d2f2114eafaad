// What every harness shares: a check that stops the run with a clear message
// (libFuzzer then keeps the input as a crash), a reader that takes small
// choices and numbers from the front of the input, and a private scratch
// folder for readers that need a file.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

namespace oravent::fuzz {

[[noreturn]] inline void Fail(const char* File, int Line, const std::string& What) {
    std::fprintf(stderr, "\n%s:%d: check failed: %s\n", File, Line, What.c_str());
    std::fflush(stderr);
    std::abort();
}

// Stops the run when Cond is false; the message says what the reader broke.
#define FUZZ_CHECK(Cond, What)                                                                     \
    do {                                                                                           \
        if (!(Cond))                                                                               \
            ::oravent::fuzz::Fail(__FILE__, __LINE__, std::string(#Cond) + ": " + (What));         \
    } while (0)

// Text safe to print: printable ASCII as it is, every other byte as \xNN.
inline std::string Shown(std::string_view S, std::size_t Max = 200) {
    std::string Out;
    for (std::size_t I = 0; I < S.size() && I < Max; ++I) {
        const auto C = static_cast<unsigned char>(S[I]);
        if (C >= 0x20 && C < 0x7F && C != '\\') {
            Out += static_cast<char>(C);
        } else {
            char Buf[8];
            std::snprintf(Buf, sizeof Buf, "\\x%02X", C);
            Out += Buf;
        }
    }
    if (S.size() > Max) Out += "...";
    return "'" + Out + "'";
}

inline std::string Num(double V) {
    char Buf[40];
    std::snprintf(Buf, sizeof Buf, "%.17g", V);
    return Buf;
}

// Takes values from the front of the fuzz input; what is left is the text
// for the reader. An input that runs out gives zeros.
class TFuzzInput {
public:
    TFuzzInput(const std::uint8_t* Data, std::size_t Size)
        : FRest(reinterpret_cast<const char*>(Data), Size) {}

    std::uint8_t Byte() {
        if (FRest.empty()) return 0;
        const auto B = static_cast<std::uint8_t>(FRest.front());
        FRest.remove_prefix(1);
        return B;
    }
    // Any double, NaN and infinities included.
    double Double() {
        std::uint64_t Bits = 0;
        for (int I = 0; I < 8; ++I)
            Bits |= static_cast<std::uint64_t>(Byte()) << (8 * I);
        double V;
        std::memcpy(&V, &Bits, sizeof V);
        return V;
    }
    // Text up to the next Delim (which is taken away); the rest when none.
    std::string_view Until(char Delim) {
        const auto Pos = FRest.find(Delim);
        const std::string_view Part = FRest.substr(0, Pos);
        FRest = Pos == std::string_view::npos ? std::string_view() : FRest.substr(Pos + 1);
        return Part;
    }
    std::string_view Rest() const { return FRest; }

private:
    std::string_view FRest;
};

// A folder of this process, removed at exit, for readers that work on
// files: in /dev/shm where there is one (the stores flush every write to
// disk, which a memory file system makes cheap), else under $TMPDIR or /tmp.
inline const std::string& ScratchFolder() {
    static const std::string Folder = [] {
        const char* Tmp = std::getenv("TMPDIR");
        std::string Base = Tmp && *Tmp ? Tmp : "/tmp";
        if (::access("/dev/shm", W_OK) == 0) Base = "/dev/shm";
        std::string Pattern = Base + "/oravent-fuzz-XXXXXX";
        if (!::mkdtemp(Pattern.data())) Fail(__FILE__, __LINE__, "cannot create " + Pattern);
        static std::string Copy;
        Copy = Pattern;
        std::atexit([] {
            const std::string Cmd = "rm -rf '" + Copy + "'";
            if (std::system(Cmd.c_str()) != 0) std::fprintf(stderr, "left %s\n", Copy.c_str());
        });
        return Pattern;
    }();
    return Folder;
}

// Dates the file an hour back. The stores read a file again on every read
// while its last change is only seconds old (file times are coarse); an
// older file is read once, as in a program that reads settings written in
// an earlier run, which keeps the harnesses fast.
inline bool MakeOld(const std::string& Name) {
    timespec Times[2];
    ::clock_gettime(CLOCK_REALTIME, &Times[0]);
    Times[0].tv_sec -= 3600;
    Times[1] = Times[0];
    return ::utimensat(AT_FDCWD, Name.c_str(), Times, 0) == 0;
}

// Writes the file and dates it an hour back (MakeOld).
inline bool WriteFile(const std::string& Name, std::string_view Bytes) {
    std::FILE* F = std::fopen(Name.c_str(), "wb");
    if (!F) return false;
    const bool Ok = std::fwrite(Bytes.data(), 1, Bytes.size(), F) == Bytes.size();
    return std::fclose(F) == 0 && Ok && MakeOld(Name);
}

} // namespace oravent::fuzz
