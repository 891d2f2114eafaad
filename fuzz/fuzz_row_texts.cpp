// Fuzzes the entry grid's row-definition texts (controls/TxEntryGrid.h,
// controls/TxFields.h): rows built from any texts, then the row operations
// a window runs on them (values, units, spin, enumeration steps, editing
// state) over an in-memory table.
// Input: two bytes of choices, 8 bytes of a value, then the row texts, one
// a line (the first is the header).
// Checks besides "no crash": only the documented errors (none for a row
// inside the sheet); the sheet has one row and one field per text; a number
// row whose limits cannot be read is reported "Error initialising
// <caption>"; a value written to a number row with a plain format reads
// back as a number within half a unit of its text's last digit (exponents
// up to 300, the clean-up's limit); a spin
// stays within the row's limits; an enumeration step shows one of the items.
#include <algorithm>

#include "FuzzCheck.h"
#include "controls/TxEntryGrid.h"

using namespace oravent;
using oravent::fuzz::Num;
using oravent::fuzz::Shown;

namespace {

// "%[flags][width][.prec]f", "e" or "g" and nothing else: a text written
// with such a format holds only the number.
bool IsPlainFloatFormat(std::string_view F) {
    if (F.size() < 2 || F[0] != '%') return false;
    std::size_t I = 1;
    while (I < F.size() && std::string_view("0-+ ").find(F[I]) != std::string_view::npos)
        ++I;
    auto Digits = [&] {
        while (I < F.size() && F[I] >= '0' && F[I] <= '9')
            ++I;
    };
    Digits();
    if (I < F.size() && F[I] == '.') {
        ++I;
        Digits();
    }
    return I + 1 == F.size() && std::string_view("fFeEgG").find(F[I]) != std::string_view::npos;
}

// Half a unit of the last digit of a number text ("12.50" -> 0.005,
// "1.2E003" -> 50).
double HalfUnitOf(std::string_view T) {
    const std::size_t E = T.find_first_of("eE");
    int Exp = 0;
    if (E != std::string_view::npos) Exp = std::atoi(std::string(T.substr(E + 1)).c_str());
    const std::string_view Mant = T.substr(0, E);
    const std::size_t Dot = Mant.find('.');
    const int Decimals =
        Dot == std::string_view::npos ? 0 : static_cast<int>(Mant.size() - Dot - 1);
    return 0.5 * std::pow(10.0, Exp - Decimals);
}

bool Near(double Read, double Wanted, std::string_view Text) {
    return std::fabs(Read - Wanted) <= HalfUnitOf(Text) * (1 + 1e-9) + std::fabs(Wanted) * 1e-14;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    fuzz::TFuzzInput In(Data, Size);
    const std::uint8_t Choice = In.Byte();
    const std::uint8_t Units = In.Byte();
    const double X = In.Double();
    std::vector<std::string> Lines;
    while (!In.Rest().empty() && Lines.size() < 200)
        Lines.emplace_back(In.Until('\n'));

    TMemCellTable Table((Choice & 3) + 1, 1);
    TRowMessageList Messages;
    TEntryGridModel Grid(Table, &Messages);
    if (Choice & 4) Grid.SetDelim(',');
    Grid.SetLines(Lines);

    const int Rows = Table.RowCount();
    FUZZ_CHECK(Rows == (Lines.empty() ? 2 : static_cast<int>(Lines.size())), std::to_string(Rows));
    FUZZ_CHECK(Lines.empty() || Grid.FieldCount() == Rows, std::to_string(Grid.FieldCount()));

    for (int R = 1; R < static_cast<int>(Lines.size()) && R <= 40; ++R) {
        const std::string Line = Lines[static_cast<std::size_t>(R)];
        const std::vector<std::string> F = TEntryGridModel::SplitFields(Line, Grid.Delim());
        TField* Field = Grid.Field(R);
        FUZZ_CHECK(Field != nullptr, "row " + std::to_string(R));
        const std::string Format = F.size() > 1 ? F[1] : std::string();
        if ((HasIntFormat(Format) || HasRealFormat(Format)) && !AsNumField(Field)) {
            const std::string Caption = F.empty() ? std::string() : F[0];
            FUZZ_CHECK(std::count(Messages.Messages.begin(), Messages.Messages.end(),
                                  "Error initialising " + Caption) > 0,
                       Shown(Line) + ": unread limits not reported");
        }

        (void)Grid.GetValue(1, R);
        (void)Grid.AidsForRow(R);
        (void)Grid.CanEditCell(1, R);
        (void)Grid.GetRangeLo(R);
        (void)Grid.GetRangeHi(R);
        (void)Grid.HasUnits(R);
        if (Units & 1) {
            const auto Type = static_cast<TUnitsType>((Units >> 1) % (UnitsTypeCount + 2));
            Grid.SetUnits(R, Type, (Units >> 4) & 3, Units >> 6,
                          static_cast<TFormatType>((Choice >> 3) & 3), X, 0);
        }
        if (Units & 2) Grid.SetUnitsValue(R, (Units >> 2) & 7);
        Field = Grid.Field(R);

        Grid.SetValue(1, R, X);
        const std::string Text = Table.Cell(1, R);
        const TNumField* N = AsNumField(Field);
        if (N && !AsDelimNumField(N) && std::isfinite(X) && !Text.empty() &&
            IsPlainFloatFormat(N->FormatStr)) {
            const TFieldValue V = Grid.GetValue(1, R);
            const double* D = std::get_if<double>(&V);
            FUZZ_CHECK(D, Shown(Line) + ": " + Num(X) + " written as " + Shown(Text) +
                              " does not read back");
            const double Read = ConvertToUnits(*D, N->Factor, N->Offset);
            const double Wanted = ConvertToUnits(X, N->Factor, N->Offset);
            // Typed-text clean-up cuts exponents beyond 300 ("1E-500" is 1E-5).
            const bool Ordinary =
                Wanted == 0 || (std::fabs(Wanted) > 1e-299 && std::fabs(Wanted) < 1e299);
            FUZZ_CHECK(!Ordinary || Near(Read, Wanted, Text), Shown(Line) + ": " + Num(X) +
                                                                  " written as " + Shown(Text) +
                                                                  " reads back as " + Num(*D));
        }
        Grid.ReshowValue(R);

        Grid.SelectCell(1, R);
        if (N && Grid.Spin((Choice & 0x20) != 0)) {
            const TFieldValue V = Grid.GetValue(1, R);
            const std::string After = Table.Cell(1, R);
            const double* D = std::get_if<double>(&V);
            const bool Limited = !(N->RangeLo == 0 && N->RangeHi == 0);
            const double S = D ? ConvertToUnits(*D, N->Factor, N->Offset) : 0.0;
            // A shown text beyond 1e299 or below 1e-299 does not read back
            // (the clean-up cuts exponents beyond 300, as documented):
            // nothing to compare.
            const double Mag = std::fabs(std::strtod(After.c_str(), nullptr));
            const bool Ordinary = Mag == 0 || (Mag > 1e-299 && Mag < 1e299);
            if (D && !After.empty() && Limited && N->RangeLo <= N->RangeHi &&
                IsPlainFloatFormat(N->FormatStr) && Ordinary) {
                const double A = N->ShownRangeLo(), B = N->ShownRangeHi();
                const double Lo = std::min(A, B), Hi = std::max(A, B);
                FUZZ_CHECK((S >= Lo || Near(S, Lo, After)) && (S <= Hi || Near(S, Hi, After)),
                           Shown(Line) + ": spin to " + Shown(After) + " outside the limits");
            }
        }
        if (const TEnumField* E = AsEnumField(Field);
            E && Grid.StepEnum(R, Choice & 0x40) && Table.ColCount() > 1) {
            const std::string Item = Table.Cell(1, R);
            FUZZ_CHECK(std::find(E->Items.begin(), E->Items.end(), Item) != E->Items.end(),
                       Shown(Line) + ": step shows " + Shown(Item));
        }
        if (Choice & 0x80) Grid.ParseRow(R);
    }
    // Rows outside the sheet: errors for the operations that raise, nothing
    // for the others.
    for (int R : {-1, Rows}) {
        (void)Grid.GetValue(1, R);
        Grid.SetValue(1, R, X);
        try {
            (void)Grid.GetRangeLo(R);
            FUZZ_CHECK(false, "GetRangeLo outside the sheet raised nothing");
        } catch (const ERowIndexError&) {
        }
    }
    return 0;
}
