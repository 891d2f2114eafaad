// Random row-definition texts and random cell texts through the row model:
// no crash, no exception out of the never-failing operations, and every
// malformed numeric row ends as a text row with its message.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <typeinfo>

#include "controls/TxEntryGrid.h"

using namespace oravent;

namespace {

class Gen {
public:
    explicit Gen(unsigned Seed) : R(Seed) {}
    int Int(int Lo, int Hi) { return std::uniform_int_distribution<int>(Lo, Hi)(R); }
    bool Chance(int Percent) { return Int(0, 99) < Percent; }
    template <class T> const T& Pick(const std::vector<T>& V) {
        return V[static_cast<std::size_t>(Int(0, static_cast<int>(V.size()) - 1))];
    }
    std::string Bytes(int MaxLen) {
        std::string S(static_cast<std::size_t>(Int(0, MaxLen)), ' ');
        for (char& C : S)
            C = static_cast<char>(Int(0, 255));
        return S;
    }
    // Printable text without the delimiter, blanks or control characters at
    // either end, sometimes with UTF-8 captions.
    std::string Caption() {
        static const std::vector<std::string> Words = {
            "Barometer", "Temp", "°C", "m³/s", "Flow", "A", "x y", "Clear, mm", "µ·²", "%S"};
        std::string S = Pick(Words);
        if (Chance(30)) S += " " + Pick(Words);
        return S;
    }
    double Double() {
        switch (Int(0, 6)) {
        case 0:
            return std::numeric_limits<double>::quiet_NaN();
        case 1:
            return Chance(50) ? HUGE_VAL : -HUGE_VAL;
        case 2:
            return std::ldexp(static_cast<double>(Int(-1000, 1000)), Int(-1070, 1020));
        case 3:
            return static_cast<double>(Int(-100000, 100000)) / 1000.0;
        default:
            return std::uniform_real_distribution<double>(-3000, 3000)(R);
        }
    }
    TFieldValue Value() {
        switch (Int(0, 4)) {
        case 0:
            return Double();
        case 1:
            return static_cast<long long>(std::uniform_int_distribution<long long>(
                std::numeric_limits<long long>::min(), std::numeric_limits<long long>::max())(R));
        case 2:
            return static_cast<long long>(Int(-3, 10));
        case 3:
            return Chance(50);
        default:
            return CellText();
        }
    }
    std::string CellText() {
        static const std::vector<std::string> Texts = {"",
                                                       "0",
                                                       "12.5",
                                                       "-",
                                                       "1e",
                                                       "1E-",
                                                       "1E500",
                                                       "13/12",
                                                       "13.0/12.0",
                                                       "/",
                                                       "//",
                                                       "abc",
                                                       "[x]",
                                                       "[X]",
                                                       "Rough",
                                                       "average",
                                                       " 1 2.5 ",
                                                       "-12.5.5",
                                                       "1,5",
                                                       "9999999999999999999999",
                                                       "1E300/1E300",
                                                       "-1E-300",
                                                       "e5",
                                                       "5/"};
        if (Chance(60)) return Pick(Texts);
        return Bytes(24);
    }
    std::mt19937 R;
};

const std::vector<std::string> NumFormats = {"%0.3f", "%d",           "%0.4g", "%0.1f/%0.1f",
                                             "%0.0f", "x%0.2fy",      "%0.2F", "%D",
                                             "%0.6G", "%0.1f / %0.1f"};
const std::vector<std::string> OtherFormats = {"enum",     "ENUM", "check", "Check", "%S",
                                               "%s units", "",     "text",  "Unit",  "%%"};
const std::vector<std::string> GoodNumbers = {"0",    "-60",  "1.5E3", "120", "0.01",
                                              "2400", "-0.5", "1e-3",  "576", "+7"};
const std::vector<std::string> BadNumbers = {"x", "1,5", "--1",   "12kPa", "1..2",
                                             ".", "-",   "1E999", "0x",    "E"};
const std::vector<std::string> Flags = {"", "PE", "pe", "NPE", "Spin", "sPIN", "?"};

bool IsNumericFormat(const std::string& F) {
    return HasIntFormat(F) || HasRealFormat(F);
}

bool SameNoCase(std::string A, std::string B) {
    for (auto* S : {&A, &B})
        for (char& C : *S)
            if (C >= 'A' && C <= 'Z') C = static_cast<char>(C - 'A' + 'a');
    return A == B;
}

TEST(EntryGridRobust, BadNumbersAreNotNumbers) {
    for (const std::string& B : BadNumbers) {
        bool Rejected = false;
        try {
            Rejected = !std::isfinite(StrToFloat(B));
        } catch (const EConvertError&) {
            Rejected = true;
        }
        EXPECT_TRUE(Rejected) << B;
    }
    for (const std::string& G : GoodNumbers)
        EXPECT_NO_THROW(StrToFloat(G)) << G;
}

// One generated row: its text and what the parser must make of it.
struct GenRow {
    std::string Text;
    std::vector<std::string> Fields; // as written, before padding
    bool Malformed = false;
};

GenRow MakeRow(Gen& G) {
    GenRow Row;
    const bool Numeric = G.Chance(60);
    Row.Fields.push_back(G.Caption());
    Row.Fields.push_back(Numeric ? G.Pick(NumFormats) : G.Pick(OtherFormats));
    const int More = G.Int(0, 6); // unit, flag, lo, hi, step, extra
    bool BadSeen = false;
    for (int I = 0; I < More; ++I) {
        const int Index = 2 + I;
        std::string F;
        if (Index == 2)
            F = G.Chance(50) ? "" : G.Caption();
        else if (Index == 3)
            F = G.Pick(Flags);
        else if (Index <= 6) {
            const bool Bad = G.Chance(15);
            F = Bad ? G.Pick(BadNumbers) : G.Pick(GoodNumbers);
            if (Index == 6 && G.Chance(30)) F = "";
            if (Bad && !(Index == 6 && F.empty())) BadSeen = true;
        } else
            F = G.Caption();
        Row.Fields.push_back(F);
    }
    // A text that ends in an empty field ends with a delimiter, which gives
    // no last field; drop that one from the expectation.
    for (std::size_t I = 0; I < Row.Fields.size(); ++I) {
        if (I) Row.Text += G.Chance(50) ? "; " : " ;";
        Row.Text += Row.Fields[I];
    }
    if (Row.Fields.size() > 1 && Row.Fields.back().empty())
        Row.Fields.pop_back();
    else if (G.Chance(10))
        Row.Text += ";";
    const std::size_t N = Row.Fields.size();
    Row.Malformed = IsNumericFormat(Row.Fields[1]) && (N < 6 || BadSeen);
    return Row;
}

void CheckRow(const TEntryGridModel& Grid, int R, const GenRow& Row) {
    const TField* F = Grid.Field(R);
    ASSERT_NE(F, nullptr);
    std::vector<std::string> Fields = Row.Fields;
    if (Fields.size() < 4) Fields.resize(6);
    const std::string& Format = Fields[1];
    if (Row.Malformed) {
        EXPECT_EQ(typeid(*F), typeid(TField)) << Row.Text;
        EXPECT_EQ(F->FormatStr, "%S") << Row.Text;
    } else if (IsNumericFormat(Format)) {
        const TNumField* N = AsNumField(F);
        ASSERT_NE(N, nullptr) << Row.Text;
        EXPECT_EQ(AsDelimNumField(F) != nullptr, HasPairFormat(Format)) << Row.Text;
        EXPECT_EQ(N->RangeLo, StrToFloat(Fields[4]));
        EXPECT_EQ(N->RangeHi, StrToFloat(Fields[5]));
        EXPECT_EQ(N->SpinStep, Fields.size() > 6 && !Fields[6].empty() ? StrToFloat(Fields[6]) : 1);
    } else if (SameNoCase(Format, "enum")) {
        const TEnumField* E = AsEnumField(F);
        ASSERT_NE(E, nullptr) << Row.Text;
        EXPECT_EQ(E->Items, std::vector<std::string>(Fields.begin() + 3, Fields.end()));
    } else if (SameNoCase(Format, "check")) {
        EXPECT_NE(AsBoolField(F), nullptr) << Row.Text;
    } else {
        EXPECT_EQ(typeid(*F), typeid(TField)) << Row.Text;
        EXPECT_EQ(F->FormatStr, Format);
    }
    EXPECT_EQ(Grid.Table().Cell(0, R), Fields[0]);
}

// Values read back are finite numbers, or the cell text exactly.
void CheckRead(const TEntryGridModel& Grid, int R) {
    const std::string Cell = Grid.Table().Cell(1, R);
    const TFieldValue V = Grid.GetValue(1, R);
    if (auto* D = std::get_if<double>(&V)) {
        EXPECT_TRUE(std::isfinite(*D));
    }
    const TField* F = Grid.Field(R);
    if (F && AsNumField(F) && !AsDelimNumField(F) && IsTextValue(V)) {
        EXPECT_EQ(std::get<std::string>(V), Cell);
    }
}

void Exercise(TEntryGridModel& Grid, Gen& G) {
    const int Rows = Grid.Table().RowCount();
    for (int Step = 0; Step < 12; ++Step) {
        const int R = G.Int(-1, Rows);
        switch (G.Int(0, 9)) {
        case 0:
            Grid.Table().SetCell(1, R, G.CellText());
            CheckRead(Grid, R);
            break;
        case 1:
            Grid.SetValue(1, R, G.Value());
            break;
        case 2:
            if (R >= 0 && R < Rows) Grid.SetValue(1, R, Grid.GetValue(1, R));
            break;
        case 3:
            Grid.SetUnits(R, static_cast<TUnitsType>(G.Int(0, UnitsTypeCount + 2)), G.Int(-1, 8),
                          G.Int(-1, 8), static_cast<TFormatType>(G.Int(0, 3)),
                          G.Chance(20) ? 0.0 : G.Double(), G.Double());
            break;
        case 4:
            if (R >= 0 && R < Rows) {
                Grid.SetUnitsValue(R, G.Int(-2, 9));
                (void)Grid.GetRangeLo(R);
                (void)Grid.GetRangeHi(R);
                (void)Grid.GetUnitsValue(R);
                (void)Grid.HasUnits(R);
            }
            break;
        case 5:
            Grid.SetSigDigs(R, G.Int(-5, 40));
            break;
        case 6:
            Grid.SelectCell(G.Int(0, 3), R);
            (void)Grid.Spin(G.Chance(50));
            break;
        case 7:
            (void)Grid.StepEnum(R, G.Chance(50));
            break;
        case 8:
            Grid.SetRowEnabled(R, G.Chance(70));
            break;
        default:
            Grid.SetPropEditor(R, [&G](TFieldValue& V) {
                V = G.Value();
                return G.Int(0, 3);
            });
            (void)Grid.RunPropEditor(R);
            break;
        }
        if (R >= 0 && R < Rows) CheckRead(Grid, R);
    }
}

TEST(EntryGridRobust, GeneratedRowTexts) {
    Gen G(20261209);
    long long RowTexts = 0;
    for (int Sheet = 0; Sheet < 23000; ++Sheet) {
        TMemCellTable Table(G.Chance(80) ? 3 : G.Int(1, 5), 4);
        TRowMessageList Msgs;
        TEntryGridModel Grid(Table, &Msgs);
        std::vector<GenRow> Rows(static_cast<std::size_t>(G.Int(1, 9)));
        std::vector<std::string> Lines = {"H; V; U"};
        std::vector<std::string> Expected;
        for (GenRow& Row : Rows) {
            Row = MakeRow(G);
            Lines.push_back(Row.Text);
            if (Row.Malformed) Expected.push_back("Error initialising " + Row.Fields[0]);
        }
        RowTexts += static_cast<long long>(Rows.size());
        Grid.SetLines(Lines);
        ASSERT_EQ(Msgs.Messages, Expected) << Sheet;
        for (TRowMessageKind K : Msgs.Kinds)
            EXPECT_EQ(K, TRowMessageKind::Error);
        for (std::size_t I = 0; I < Rows.size(); ++I)
            CheckRow(Grid, static_cast<int>(I + 1), Rows[I]);
        if (::testing::Test::HasFailure()) return;
        Exercise(Grid, G);
    }
    EXPECT_GE(RowTexts, 100000);
}

TEST(EntryGridRobust, RandomBytesAsRowTexts) {
    Gen G(7);
    for (int Sheet = 0; Sheet < 8000; ++Sheet) {
        TMemCellTable Table(3, 4);
        TRowMessageList Msgs;
        TEntryGridModel Grid(Table, &Msgs);
        if (G.Chance(20)) Grid.SetDelim(static_cast<char>(G.Int(0, 255)));
        std::vector<std::string> Lines(static_cast<std::size_t>(G.Int(0, 6)));
        for (std::string& L : Lines) {
            L = G.Bytes(60);
            // Mix in pieces that reach the numeric and list branches.
            if (G.Chance(50)) L = G.Caption() + ";" + G.Pick(NumFormats) + ";" + L;
        }
        Grid.SetLines(Lines);
        // Every numeric-looking row is a number row or a text row with its message.
        std::size_t TextRows = 0;
        for (int R = 1; R < Grid.FieldCount(); ++R) {
            auto F = TEntryGridModel::SplitFields(Lines[static_cast<std::size_t>(R)], Grid.Delim());
            if (F.size() < 4) F.resize(6);
            if (!IsNumericFormat(F[1])) continue;
            const TField* Fd = Grid.Field(R);
            if (AsNumField(Fd)) continue;
            EXPECT_EQ(Fd->FormatStr, "%S");
            ASSERT_LT(TextRows, Msgs.Messages.size());
            EXPECT_EQ(Msgs.Messages[TextRows], "Error initialising " + F[0]);
            ++TextRows;
        }
        EXPECT_EQ(TextRows, Msgs.Messages.size());
        EXPECT_EQ(Table.RowCount(), Lines.empty() ? 2 : static_cast<int>(Lines.size()));
        Exercise(Grid, G);
        if (::testing::Test::HasFailure()) return;
    }
}

} // namespace
