// A minimal ELF file carrying a version note, for the version reader tests.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "common/VersionRecord.h"

namespace oravent::test {

// A minimal ELF file (no code) whose one note section holds Desc, with the
// owner and type of the version note. 64-bit little endian or 32-bit big
// endian; WithSections false puts the note only in a note segment.
inline std::string MakeElf(std::string_view Desc, bool Is64 = true, bool BigEndian = false,
                           bool WithSections = true, std::string_view Owner = "Halvorn") {
    std::string F;
    auto Put = [&](std::uint64_t V, int Size) {
        for (int I = 0; I < Size; ++I) {
            const int Shift = 8 * (BigEndian ? Size - 1 - I : I);
            F += static_cast<char>((V >> Shift) & 0xFF);
        }
    };
    auto PadTo4 = [&] {
        while (F.size() % 4)
            F += '\0';
    };
    const int W = Is64 ? 8 : 4;
    const std::size_t EhSize = Is64 ? 64 : 52, PhSize = Is64 ? 56 : 32, ShSize = Is64 ? 64 : 40;
    // Layout: header, one program header, note, string table, section headers.
    const std::size_t NoteOff = EhSize + PhSize;
    std::string Note;
    {
        std::string Saved;
        std::swap(F, Saved);
        Put(Owner.size() + 1, 4);
        Put(Desc.size(), 4);
        Put(kVersionNoteType, 4);
        F += Owner;
        F += '\0';
        PadTo4();
        F += Desc;
        PadTo4();
        std::swap(F, Saved);
        Note = Saved;
    }
    const std::string StrTab = std::string("\0.note.halvorn.version\0.shstrtab\0", 34);
    const std::size_t StrOff = NoteOff + Note.size();
    std::size_t ShOff = StrOff + StrTab.size();
    ShOff = (ShOff + 7) / 8 * 8;

    F += "\x7f"
         "ELF";
    F += static_cast<char>(Is64 ? 2 : 1);
    F += static_cast<char>(BigEndian ? 2 : 1);
    F += '\1';
    F.append(9, '\0');
    Put(2, 2);                        // e_type: executable
    Put(Is64 ? 62 : 8, 2);            // e_machine
    Put(1, 4);                        // e_version
    Put(0, W);                        // e_entry
    Put(EhSize, W);                   // e_phoff
    Put(WithSections ? ShOff : 0, W); // e_shoff
    Put(0, 4);                        // e_flags
    Put(EhSize, 2);                   // e_ehsize
    Put(PhSize, 2);                   // e_phentsize
    Put(1, 2);                        // e_phnum
    Put(ShSize, 2);                   // e_shentsize
    Put(WithSections ? 3 : 0, 2);     // e_shnum
    Put(WithSections ? 2 : 0, 2);     // e_shstrndx
    // Program header: PT_NOTE.
    if (Is64) {
        Put(4, 4), Put(4, 4), Put(NoteOff, 8), Put(0, 8), Put(0, 8), Put(Note.size(), 8),
            Put(Note.size(), 8), Put(4, 8);
    } else {
        Put(4, 4), Put(NoteOff, 4), Put(0, 4), Put(0, 4), Put(Note.size(), 4), Put(Note.size(), 4),
            Put(4, 4), Put(4, 4);
    }
    F += Note;
    F += StrTab;
    F.resize(ShOff, '\0');
    if (!WithSections) return F;
    auto Section = [&](std::uint32_t Name, std::uint32_t Type, std::uint64_t Off,
                       std::uint64_t Size, std::uint64_t Align) {
        Put(Name, 4), Put(Type, 4), Put(Type == 7 ? 2 : 0, W), Put(0, W), Put(Off, W), Put(Size, W),
            Put(0, 4), Put(0, 4), Put(Align, W), Put(0, W);
    };
    Section(0, 0, 0, 0, 0);
    Section(1, 7, NoteOff, Note.size(), 4);
    Section(23, 3, StrOff, StrTab.size(), 1);
    return F;
}

} // namespace oravent::test
