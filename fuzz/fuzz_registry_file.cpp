// Fuzzes the settings file in the registry export format
// (common/RegFile.h) and the settings store over it (common/TxRegistry.h).
// Input: one byte of choices, 8 bytes of a number, then the file.
// Checks besides "no crash": what Parse reads, Serialize writes so that
// Parse reads the same keys and values again (and Serialize then writes the
// same text); the store reads every value of a key as its kind allows and
// raises ERegistryException otherwise; a double, an integer and a text
// written by the store read back unchanged, and every other value of the
// file is kept as it was; a name with a line break is refused with
// EIniFileException.
#include <cstring>

#include "FuzzCheck.h"
#include "common/AtomicFile.h"
#include "common/RegFile.h"
#include "common/TextCodec.h"
#include "common/TxRegistry.h"

using namespace oravent;
using oravent::fuzz::Num;
using oravent::fuzz::Shown;

namespace {

std::string Describe(const TRegFile& F) {
    std::string Out;
    for (const TRegKey& K : F.Keys()) {
        Out += "[" + K.Path() + "]";
        for (const TRegValue& V : K.Values())
            Out +=
                " " + V.Name + ":" + std::to_string(static_cast<unsigned>(V.Kind)) + "=" + V.Data;
    }
    return Shown(Out, 400);
}

bool SameValues(const TRegKey& A, const TRegKey& B) {
    const auto& X = A.Values();
    const auto& Y = B.Values();
    if (X.size() != Y.size()) return false;
    for (std::size_t I = 0; I < X.size(); ++I)
        if (X[I].Name != Y[I].Name || X[I].Kind != Y[I].Kind || X[I].Data != Y[I].Data)
            return false;
    return true;
}

bool SameFile(const TRegFile& A, const TRegFile& B) {
    if (A.Keys().size() != B.Keys().size()) return false;
    for (std::size_t I = 0; I < A.Keys().size(); ++I)
        if (A.Keys()[I].Path() != B.Keys()[I].Path() || !SameValues(A.Keys()[I], B.Keys()[I]))
            return false;
    return true;
}

std::uint32_t DWordOf(const std::string& Data) {
    std::uint32_t D = 0;
    for (int I = 3; I >= 0; --I)
        D = (D << 8) | static_cast<unsigned char>(Data[static_cast<std::size_t>(I)]);
    return D;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    fuzz::TFuzzInput In(Data, Size);
    const std::uint8_t Choice = In.Byte();
    const double X = In.Double();
    const std::string_view Bytes = In.Rest();

    const TRegFile File = TRegFile::Parse(Bytes);
    const std::string Text = File.Serialize();
    const TRegFile Again = TRegFile::Parse(Text);
    FUZZ_CHECK(SameFile(File, Again), "read " + Describe(File) + ", written " + Shown(Text, 400) +
                                          ", read again " + Describe(Again));
    FUZZ_CHECK(Again.Serialize() == Text, "written twice differently: " + Shown(Text, 400));

    // The store over the same bytes, on one key of the file.
    const std::string Store = fuzz::ScratchFolder() + "/registry.reg";
    FUZZ_CHECK(fuzz::WriteFile(Store, Bytes), Store);
    std::string KeyPath = "HKEY_CURRENT_USER\\Software\\Halvorn\\Oravent";
    if (!File.Keys().empty()) {
        // A key below the store's root, so that the store's key is this one.
        const std::string& P = File.Keys()[Choice % File.Keys().size()].Path();
        const std::string_view Root = "HKEY_CURRENT_USER\\";
        if (P.size() > Root.size() && SameText(std::string_view(P).substr(0, Root.size()), Root))
            KeyPath = P;
    }
    TRegistryIniFile Reg(KeyPath, Store);
    const TRegKey* Key = File.FindKey(KeyPath);
    std::vector<std::string> Idents;
    Reg.ListSectionIdents("", Idents);
    FUZZ_CHECK(Idents.size() == (Key ? Key->Values().size() : 0), KeyPath);
    for (const std::string& Ident : Idents) {
        const TRegValue* V = Key->Find(Ident);
        FUZZ_CHECK(V, Shown(Ident));
        const std::string What = Shown(KeyPath) + "/" + Shown(Ident);
        try {
            FUZZ_CHECK(Reg.ReadText("", Ident, "") == V->Data && V->IsText(), What);
        } catch (const ERegistryException&) {
            FUZZ_CHECK(!V->IsText(), What + ": text refused");
        }
        try {
            const int I = Reg.ReadInt("", Ident, 7);
            if (V->Kind == TRegKind::DWord)
                FUZZ_CHECK(static_cast<std::uint32_t>(I) == DWordOf(V->Data), What);
        } catch (const ERegistryException&) {
            FUZZ_CHECK(!V->IsText() && V->Kind != TRegKind::DWord, What + ": integer refused");
        }
        try {
            (void)Reg.ReadReal("", Ident, 0.5);
            FUZZ_CHECK(V->Kind == TRegKind::Binary && V->Data.size() == 8, What + ": not a double");
        } catch (const ERegistryException&) {
            FUZZ_CHECK(V->Kind != TRegKind::Binary || V->Data.size() != 8,
                       What + ": double refused");
        }
    }
    std::vector<std::string> Sections;
    Reg.ListSections(Sections);

    // Writes keep everything else.
    static const char* const Names[] = {"FuzzReal", "FuzzInt", "FuzzText"};
    const char* Name = Names[(Choice >> 4) % 3];
    if (!Idents.empty() && (Choice & 8)) Name = Idents[Choice % Idents.size()].c_str();
    const std::string Written = Name; // Idents may change below
    const std::string What = Shown(KeyPath) + "/" + Shown(Written);
    // A name read from the file may hold a carriage return or NUL, which the
    // store refuses to write (a line break cannot be written).
    if (Written.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos) {
        try {
            Reg.WriteInt("", Written, 1);
            FUZZ_CHECK(false, What + ": a name with a line break was written");
        } catch (const EIniFileException&) {
        }
        return 0;
    }
    switch ((Choice >> 6) % 3) {
    case 0: {
        Reg.WriteReal("", Written, X);
        const double Back = Reg.ReadReal("", Written, 0.5);
        FUZZ_CHECK(std::memcmp(&Back, &X, sizeof X) == 0,
                   What + ": " + Num(X) + " read as " + Num(Back));
        break;
    }
    case 1: {
        int I = 0;
        std::memcpy(&I, &X, sizeof I);
        Reg.WriteInt("", Written, I);
        FUZZ_CHECK(Reg.ReadInt("", Written, I ^ 1) == I, What + ": " + std::to_string(I));
        break;
    }
    default: {
        const std::string Value = "a \"quoted\" \\ text\x01";
        Reg.WriteText("", Written, Value);
        FUZZ_CHECK(Reg.ReadText("", Written, "") == Value, What);
        break;
    }
    }
    const auto Bytes2 = ReadWholeFile(Store);
    FUZZ_CHECK(Bytes2.has_value(), Store);
    const TRegFile After = TRegFile::Parse(*Bytes2);
    for (const TRegKey& K : File.Keys()) {
        const TRegKey* A = After.FindKey(K.Path());
        FUZZ_CHECK(A, What + " lost the key " + Shown(K.Path()));
        if (&K != Key) {
            FUZZ_CHECK(SameValues(K, *A), What + " changed the key " + Shown(K.Path()));
            continue;
        }
        for (const TRegValue& V : K.Values()) {
            if (SameText(V.Name, Written)) continue;
            const TRegValue* W = A->Find(V.Name);
            FUZZ_CHECK(W && W->Kind == V.Kind && W->Data == V.Data,
                       What + " changed " + Shown(V.Name));
        }
    }
    return 0;
}
