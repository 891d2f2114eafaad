#include "controls/TxEntryGrid.h"

#include <cmath>

namespace oravent {

namespace {

std::string TrimControlsCopy(std::string_view Text) {
    return std::string(TrimControls(Text));
}

// A limit or spin step of a row text: a plain number, nothing else.
bool ReadRowNumber(const std::string& Text, double& Out) {
    try {
        Out = StrToFloat(Text);
        return std::isfinite(Out);
    } catch (const EConvertError&) {
        return false;
    }
}

// The text a row's value cell starts with, decided by the format's letters.
std::string InitialValueText(const std::string& FormatStr, const TField& Field) {
    try {
        if (HasPairFormat(FormatStr)) return FormatPair(FormatStr, 0.0, 0.0);
        if (HasIntFormat(FormatStr)) return FormatText(FormatStr, {0LL});
        if (HasRealFormat(FormatStr)) return FormatNumber(FormatStr, 0.0);
        if (auto* E = AsEnumField(&Field); E && !E->Items.empty()) return E->Items.front();
    } catch (const std::exception&) {
        // A format whose letters do not fit its conversions starts empty.
    }
    return std::string();
}

} // namespace

// ---------------------------------------------------------------------------
// TMemCellTable

TMemCellTable::TMemCellTable(int Cols, int Rows) : Cols_(Cols < 0 ? 0 : Cols) {
    SetRowCount(Rows);
}

void TMemCellTable::SetRowCount(int Rows) {
    Cells_.resize(static_cast<std::size_t>(Rows < 0 ? 0 : Rows),
                  std::vector<std::string>(static_cast<std::size_t>(Cols_)));
}

void TMemCellTable::SetColCount(int Cols) {
    Cols_ = Cols < 0 ? 0 : Cols;
    for (auto& Row : Cells_)
        Row.resize(static_cast<std::size_t>(Cols_));
}

std::string TMemCellTable::Cell(int ACol, int ARow) const {
    if (ACol < 0 || ACol >= Cols_ || ARow < 0 || ARow >= RowCount()) return std::string();
    return Cells_[static_cast<std::size_t>(ARow)][static_cast<std::size_t>(ACol)];
}

void TMemCellTable::SetCell(int ACol, int ARow, const std::string& Text) {
    if (ACol < 0 || ACol >= Cols_ || ARow < 0 || ARow >= RowCount()) return;
    Cells_[static_cast<std::size_t>(ARow)][static_cast<std::size_t>(ACol)] = Text;
}

// ---------------------------------------------------------------------------
// Row definitions

TEntryGridModel::TEntryGridModel(TCellTable& Table, TEntryGridReporter* Reporter)
    : Table_(Table), Reporter_(Reporter) {}

void TEntryGridModel::Report(const std::string& Text, TRowMessageKind Kind) {
    if (Reporter_) Reporter_->ShowRowMessage(Text, Kind);
}

void TEntryGridModel::ReportRow(const char* Text, int Row) {
    Report(std::string(Text) + std::to_string(Row));
}

std::vector<std::string> TEntryGridModel::SplitFields(std::string_view Text, char Delim) {
    std::vector<std::string> Fields;
    std::size_t Pos = 0;
    for (;;) {
        const std::size_t Next = Text.find(Delim, Pos);
        if (Next == std::string_view::npos) break;
        Fields.push_back(TrimControlsCopy(Text.substr(Pos, Next - Pos)));
        Pos = Next + 1;
    }
    std::string Rest = TrimControlsCopy(Text.substr(Pos));
    if (!Rest.empty()) Fields.push_back(std::move(Rest));
    return Fields;
}

void TEntryGridModel::SetLines(std::vector<std::string> Lines) {
    Lines_ = std::move(Lines);
    BuildRows();
}

void TEntryGridModel::SetRows(std::initializer_list<std::string_view> Rows) {
    std::vector<std::string> Copy;
    Copy.reserve(Rows.size());
    for (std::string_view R : Rows)
        Copy.emplace_back(R);
    SetLines(std::move(Copy));
}

void TEntryGridModel::ResetCurrent() {
    CurrentRow_ = -1;
    CurrentField_ = nullptr;
    CurrentNumField_ = nullptr;
    CurrentEnumField_ = nullptr;
    CurrentFormatStr_ = "%S";
    CurrentFormatType_ = ft_Fixed;
    CurrentRangeLo_ = 0;
    CurrentRangeHi_ = 0;
}

void TEntryGridModel::BuildRows() {
    Table_.BeforeBuildRows();
    ResetCurrent();
    Fields_.clear();
    const int Cols = Table_.ColCount();
    if (Lines_.empty()) {
        Table_.SetRowCount(2);
        // Rows without fields keep no stale texts of the previous rows.
        for (int R = 0; R < 2; ++R)
            for (int C = 0; C < Cols; ++C)
                Table_.SetCell(C, R, std::string());
        Table_.InvalidateAll();
        return;
    }
    Table_.SetRowCount(static_cast<int>(Lines_.size()));
    const std::vector<std::string> Header = SplitFields(Lines_.front(), Delim_);
    for (int C = 0; C < Cols; ++C)
        Table_.SetCell(C, 0,
                       static_cast<std::size_t>(C) < Header.size()
                           ? Header[static_cast<std::size_t>(C)]
                           : std::string());
    Fields_.push_back(std::make_unique<TField>(ekNone, "%S"));
    for (int R = 1; R < static_cast<int>(Lines_.size()); ++R)
        ParseRow(R);
    Table_.InvalidateAll();
}

void TEntryGridModel::ParseRow(int ARow) {
    if (ARow < 1 || ARow >= static_cast<int>(Lines_.size()) || ARow > FieldCount()) return;
    std::vector<std::string> F = SplitFields(Lines_[static_cast<std::size_t>(ARow)], Delim_);
    if (F.size() < 4) F.resize(6);

    int Flag = ekNone;
    if (SameTextNoCase(F[3], "PE"))
        Flag = ekPropEditor;
    else if (SameTextNoCase(F[3], "Spin"))
        Flag = ekSpin;

    const std::string FormatStr = F[1];
    std::unique_ptr<TField> Field;
    if (HasIntFormat(FormatStr) || HasRealFormat(FormatStr)) {
        if (F.size() < 7) F.resize(8);
        double Lo = 0, Hi = 0, Step = 1;
        const bool Ok = ReadRowNumber(F[4], Lo) && ReadRowNumber(F[5], Hi) &&
                        (F[6].empty() || ReadRowNumber(F[6], Step));
        if (!Ok) {
            Field = std::make_unique<TField>(Flag, "%S");
            Report("Error initialising " + F[0], TRowMessageKind::Error);
        } else if (HasPairFormat(FormatStr)) {
            Field = std::make_unique<TDelimNumField>(Flag, FormatStr, Lo, Hi, Step);
        } else {
            Field = std::make_unique<TNumField>(Flag, FormatStr, Lo, Hi, Step);
        }
    } else if (SameTextNoCase(FormatStr, "enum")) {
        Field = std::make_unique<TEnumField>(std::vector<std::string>(F.begin() + 3, F.end()));
    } else if (SameTextNoCase(FormatStr, "check")) {
        Field = std::make_unique<TBoolField>();
    } else {
        Field = std::make_unique<TField>(Flag, FormatStr);
    }

    F[1] = InitialValueText(FormatStr, *Field);
    const int Cols = Table_.ColCount();
    for (int C = 0; C < Cols; ++C)
        Table_.SetCell(C, ARow,
                       static_cast<std::size_t>(C) < F.size() ? F[static_cast<std::size_t>(C)]
                                                              : std::string());

    if (ARow == FieldCount()) {
        Fields_.push_back(std::move(Field));
    } else {
        TField* Old = Fields_[static_cast<std::size_t>(ARow)].get();
        if (CurrentField_ == Old) ResetCurrent();
        Fields_[static_cast<std::size_t>(ARow)] = std::move(Field);
    }
}

// ---------------------------------------------------------------------------
// Fields and values

TField* TEntryGridModel::Field(int Row) {
    if (Row < 0 || Row >= FieldCount()) return nullptr;
    return Fields_[static_cast<std::size_t>(Row)].get();
}

const TField* TEntryGridModel::Field(int Row) const {
    if (Row < 0 || Row >= FieldCount()) return nullptr;
    return Fields_[static_cast<std::size_t>(Row)].get();
}

TFieldValue TEntryGridModel::GetValue(int ACol, int ARow) const {
    if (!InSheet(ARow) || ACol < 0 || ACol >= Table_.ColCount()) return std::string();
    std::string Text = Table_.Cell(ACol, ARow);
    const TField* F = ACol == 1 ? Field(ARow) : nullptr;
    if (!F) return Text;
    return FieldTextToValue(*F, Text);
}

void TEntryGridModel::SetValue(int ACol, int ARow, const TFieldValue& Value) {
    if (!InSheet(ARow) || ACol < 0 || ACol >= Table_.ColCount()) return;
    const TField* F = ACol == 1 ? Field(ARow) : nullptr;
    Table_.SetCell(ACol, ARow, F ? FieldValueToText(*F, Value) : ValueAsText(Value));
    Table_.InvalidateCell(ACol, ARow);
}

void TEntryGridModel::ReshowValue(int Row) {
    SetValue(1, Row, GetValue(1, Row));
}

// ---------------------------------------------------------------------------
// Units

void TEntryGridModel::ApplyUnits(int Row, TNumField& Field) {
    ApplyUnitsReading(Row, Field, Field.Factor, Field.Offset);
}

void TEntryGridModel::ApplyUnitsReading(int Row, TNumField& Field, double ReadFactor,
                                        double ReadOffset) {
    if (!InSheet(Row)) throw ERowIndexError("row " + std::to_string(Row) + " outside the sheet");
    const int Type = static_cast<int>(Field.UnitsType);
    if (Type < 0 || Type >= UnitsTypeCount) throw EUnitsError("unknown units type");
    if (Field.UnitsType != utNone) {
        const int Count = UnitsCount(Field.UnitsType);
        if (Field.UnitsValue < 0 || Field.UnitsValue >= Count || Field.UnitsBase < 0 ||
            Field.UnitsBase >= Count)
            throw EUnitsError("unit index outside the list");
    }

    // The old value, read with the conversion the cell text was written with.
    TFieldValue Old;
    {
        const double F = Field.Factor, O = Field.Offset;
        Field.Factor = ReadFactor;
        Field.Offset = ReadOffset;
        Old = FieldTextToValue(Field, Table_.Cell(1, Row));
        Field.Factor = F;
        Field.Offset = O;
    }

    std::string UnitFormat, Caption;
    double Offset = Field.Offset, Factor = Field.Factor;
    GetUnitsConversion(Field.UnitsType, Field.UnitsValue, Field.UnitsBase, UnitFormat, Offset,
                       Factor, Caption);
    if (!std::isfinite(Factor) || Factor == 0.0 || !std::isfinite(Offset))
        throw EUnitsError("units conversion not usable");

    Field.Factor = Factor;
    Field.Offset = Offset;
    if (Field.FormatType != ft_Manual && Field.UnitsType != utNone) Field.FormatStr = UnitFormat;

    const bool Pair = AsDelimNumField(&Field) != nullptr;
    if (Pair && !HasPairFormat(Field.FormatStr))
        Field.FormatStr = Field.FormatStr + "/" + Field.FormatStr;

    if (Row == CurrentRow_ && CurrentNumField_ == &Field) {
        CurrentRangeLo_ = Field.ShownRangeLo();
        CurrentRangeHi_ = Field.ShownRangeHi();
        CurrentFormatStr_ = Field.FormatStr;
        CurrentFormatType_ = Field.FormatType;
    }

    if (UnitsColumn_ >= 0) {
        if (Table_.ColCount() == 2) {
            const std::string Cap = Table_.Cell(0, Row);
            const std::size_t Comma = Cap.find(',');
            if (Comma != std::string::npos)
                Table_.SetCell(0, Row, Cap.substr(0, Comma + 1) + Caption);
        } else {
            Table_.SetCell(2, Row, Caption);
        }
        Table_.InvalidateCell(0, Row);
    }

    Table_.SetCell(1, Row, FieldValueToText(Field, Old));
    Table_.InvalidateCell(1, Row);
}

bool TEntryGridModel::ApplyUnitsWithFallback(int Row, TNumField& Field, double ReadFactor,
                                             double ReadOffset) {
    try {
        ApplyUnitsReading(Row, Field, ReadFactor, ReadOffset);
        return true;
    } catch (const EUnitsError&) {
    }
    Field.UnitsValue = 0;
    try {
        ApplyUnitsReading(Row, Field, ReadFactor, ReadOffset);
        return true;
    } catch (const EUnitsError&) {
        return false;
    }
}

TNumField* TEntryGridModel::NumFieldOrReport(int Row, const char* Message) {
    TNumField* N = InSheet(Row) ? AsNumField(Field(Row)) : nullptr;
    if (!N) ReportRow(Message, Row);
    return N;
}

void TEntryGridModel::CheckRowIndex(int Row, const char* Operation) const {
    if (!InSheet(Row))
        throw ERowIndexError(std::string(Operation) + ": row " + std::to_string(Row) +
                             " outside the sheet");
}

void TEntryGridModel::SetUnits(int Row, TUnitsType UnitsType, int UnitsBase, int UnitsValue,
                               TFormatType FormatType, double Factor, double Offset) {
    TNumField* N = NumFieldOrReport(Row, "Error setting units, row ");
    if (!N) return;
    const TUnitsType OldType = N->UnitsType;
    const int OldValue = N->UnitsValue, OldBase = N->UnitsBase;
    const double OldFactor = N->Factor, OldOffset = N->Offset;
    const TFormatType OldFormatType = N->FormatType;

    N->UnitsType = UnitsType;
    N->UnitsValue = UnitsValue;
    N->UnitsBase = UnitsBase;
    if (UnitsType == utNone) {
        N->Factor = Factor;
        N->Offset = Offset;
    }
    N->FormatType = FormatType;
    // The cell text was written with the old conversion, also when this call
    // brings a factor of its own.
    if (ApplyUnitsWithFallback(Row, *N, OldFactor, OldOffset)) return;

    // Leave the row as it was: a half-assigned units state would show and
    // read the value with a conversion that does not work.
    N->UnitsType = OldType;
    N->UnitsValue = OldValue;
    N->UnitsBase = OldBase;
    N->Factor = OldFactor;
    N->Offset = OldOffset;
    N->FormatType = OldFormatType;
    ReportRow("Error setting units, row ", Row);
}

void TEntryGridModel::SetSigDigs(int Row, int Digits) {
    if (TNumField* N = NumFieldOrReport(Row, "Error setting significant digits, row "))
        N->SigDigs = Digits;
}

TField* TEntryGridModel::QueryField(int Row, const char* Operation, const char* Message) {
    CheckRowIndex(Row, Operation);
    TField* F = Field(Row);
    if (!F) ReportRow(Message, Row);
    return F;
}

std::string TEntryGridModel::RowCaption(int Row) const {
    const std::string Cap = TrimControlsCopy(Table_.Cell(0, Row));
    if (Table_.ColCount() != 2) return Cap;
    return TrimControlsCopy(std::string_view(Cap).substr(0, Cap.find(',')));
}

std::string TEntryGridModel::RowUnitCaption(int Row) const {
    if (Table_.ColCount() != 2) return TrimControlsCopy(Table_.Cell(2, Row));
    const std::string Cap = Table_.Cell(0, Row);
    const std::size_t Comma = Cap.find(',');
    return Comma == std::string::npos ? std::string() : TrimControlsCopy(Cap.substr(Comma + 1));
}

double TEntryGridModel::GetRangeLo(int Row) {
    const TNumField* N = AsNumField(QueryField(Row, "GetRangeLo", "Error getting range lo, row "));
    return N ? N->ShownRangeLo() : 0.0;
}

double TEntryGridModel::GetRangeHi(int Row) {
    const TNumField* N = AsNumField(QueryField(Row, "GetRangeHi", "Error getting range hi, row "));
    return N ? N->ShownRangeHi() : 0.0;
}

int TEntryGridModel::GetUnitsValue(int Row) {
    const TNumField* N =
        AsNumField(QueryField(Row, "GetUnitsValue", "Error getting units value, row "));
    return N ? N->UnitsValue : 0;
}

void TEntryGridModel::SetUnitsValue(int Row, int Index) {
    TNumField* N = AsNumField(QueryField(Row, "SetUnitsValue", "Error setting units value, row "));
    if (!N) return; // no field (reported) or not a number row (ignored)
    const int Old = N->UnitsValue;
    N->UnitsValue = Index;
    if (ApplyUnitsWithFallback(Row, *N, N->Factor, N->Offset)) return;
    N->UnitsValue = Old;
    ReportRow("Error setting units value, row ", Row);
}

bool TEntryGridModel::HasUnits(int Row) const {
    CheckRowIndex(Row, "HasUnits");
    const TNumField* N = AsNumField(Field(Row));
    return N && N->UnitsType != utNone;
}

// ---------------------------------------------------------------------------
// Row settings

void TEntryGridModel::SetPropEditor(int Row, TPropEditHandler Handler) {
    TField* F = InSheet(Row) ? Field(Row) : nullptr;
    if (!F) {
        ReportRow("Error setting property editor, row ", Row);
        return;
    }
    F->EditorKind = ekPropEditor;
    F->OnPropEdit = std::move(Handler);
}

void TEntryGridModel::SetRowEnabled(int Row, bool Enabled) {
    TField* F = InSheet(Row) ? Field(Row) : nullptr;
    if (!F) {
        ReportRow("Error setting enabled row ", Row);
        return;
    }
    F->Enabled = Enabled;
    Table_.InvalidateAll();
}

bool TEntryGridModel::GetRowEnabled(int Row) const {
    const TField* F = InSheet(Row) ? Field(Row) : nullptr;
    return F ? F->Enabled : true;
}

// ---------------------------------------------------------------------------
// Current row and editing actions

void TEntryGridModel::SelectCell(int ACol, int ARow) {
    if (ACol == 0 || ACol == 2) return;
    ResetCurrent();
    CurrentRow_ = ARow;
    TField* F = InSheet(ARow) ? Field(ARow) : nullptr;
    if (!F) return;
    CurrentField_ = F;
    CurrentFormatStr_ = F->FormatStr;
    if (!F->Enabled) return;
    if (TNumField* N = AsNumField(F)) {
        CurrentNumField_ = N;
        CurrentFormatType_ = N->FormatType;
        CurrentRangeLo_ = N->ShownRangeLo();
        CurrentRangeHi_ = N->ShownRangeHi();
    } else if (TEnumField* E = AsEnumField(F)) {
        CurrentEnumField_ = E;
    }
}

TRowAids TEntryGridModel::AidsForRow(int ARow) const {
    TRowAids Aids;
    const TField* F = InSheet(ARow) ? Field(ARow) : nullptr;
    if (!F || !F->Enabled) return Aids;
    Aids.PropEditor = F->EditorKind == ekPropEditor;
    Aids.Spin = F->EditorKind == ekSpin;
    Aids.PullDown = AsEnumField(F) != nullptr;
    Aids.CheckBox = AsBoolField(F) != nullptr;
    return Aids;
}

bool TEntryGridModel::CanEditCell(int ACol, int ARow) const {
    if (ARow < 1 || !InSheet(ARow) || ACol < 0 || ACol >= Table_.ColCount()) return false;
    if (ACol == 0 || ACol == 2) return false;
    const TField* F = Field(ARow);
    if (!F) return true;
    return F->Enabled && !AsEnumField(F);
}

bool TEntryGridModel::Spin(bool Up) {
    TNumField* N = CurrentNumField_;
    const int Row = CurrentRow_;
    if (!N || !InSheet(Row) || Field(Row) != N || AsDelimNumField(N)) return false;
    const TFieldValue Value = GetValue(1, Row);
    if (IsTextValue(Value)) return false;
    double V = ValueAsNumber(Value);
    const double Step = N->SpinStep;
    if (!std::isfinite(Step) || Step == 0.0) return false;
    // Limits 0 and 0 mean the row has none.
    const bool Limited = !(N->RangeLo == 0.0 && N->RangeHi == 0.0);
    if (Limited && V == (Up ? N->RangeHi : N->RangeLo)) return false;

    const bool Away = Up ? V > 0 : V < 0;
    try {
        V = StrToFloat(CleanNumberText(FormatNumber(N->FormatStr, V)));
    } catch (const std::exception&) {
        // Keep the value as read.
    }
    // R: how far V lies past the multiple of the step towards zero from it.
    // A value within 0.00001 of a multiple counts as on it, also when the
    // division lands just short of the multiple (0.3 / 0.1 = 2.9999...),
    // which would otherwise leave a step up where it started.
    const double Q = V / Step;
    double R = (Q - std::trunc(Q)) * Step;
    const double Near = std::nearbyint(Q);
    if (!std::isfinite(R) || std::fabs(Q - Near) * std::fabs(Step) < 0.00001) {
        R = 0;
        if (std::isfinite(Near)) V = Near * Step;
    }
    V -= R;
    if (R == 0 || Away) V += Up ? Step : -Step;
    if (Limited) {
        if (V > N->RangeHi) V = N->RangeHi;
        if (V < N->RangeLo) V = N->RangeLo;
    }
    SetValue(1, Row, V);
    return true;
}

bool TEntryGridModel::StepEnum(int Row, bool Next) {
    const TEnumField* E = InSheet(Row) ? AsEnumField(Field(Row)) : nullptr;
    if (!E || !E->Enabled || E->Items.empty()) return false;
    const long long Count = static_cast<long long>(E->Items.size());
    long long Index = E->IndexOf(Table_.Cell(1, Row));
    // A text that is not among the items (index -1) steps to the first item
    // forwards and to the last backwards, so that a step always shows an item
    // (a step back to index -2 would only blank the cell).
    if (Next)
        Index = (Index < 0 || Index + 1 >= Count) ? 0 : Index + 1;
    else
        Index = Index <= 0 ? Count - 1 : Index - 1;
    SetValue(1, Row, Index);
    return true;
}

int TEntryGridModel::RunPropEditor(int Row) {
    TField* F = InSheet(Row) ? Field(Row) : nullptr;
    if (!F || F->EditorKind != ekPropEditor || !F->OnPropEdit) return 0;
    TFieldValue Value = GetValue(1, Row);
    // Copy the handler: it may rebuild the rows and destroy this field.
    const TPropEditHandler Handler = F->OnPropEdit;
    const int Result = Handler(Value);
    if (Result == 1) SetValue(1, Row, Value);
    return Result;
}

bool TEntryGridModel::RunUnitsPicker(int Row, int X, int Y) {
    TField* F = (Row >= 1 && InSheet(Row)) ? Field(Row) : nullptr;
    if (!F || !UnitsPicker_) return false;
    const TUnitsPickerProc Picker = UnitsPicker_;
    Picker(*this, Row, X, Y, F);
    if (const TField* After = Field(Row)) CurrentFormatStr_ = After->FormatStr;
    return true;
}

} // namespace oravent
