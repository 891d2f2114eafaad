#include "controls/GridGeometry.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace oravent {

int TGridAxis::FixedExtent() const {
    int E = 0;
    for (int I = 0; I < std::min(Fixed, Count()); ++I)
        E += Sizes[I] + Line;
    return E;
}

int TGridAxis::MaxFirst(int Avail) const {
    const int N = Count();
    if (N <= Fixed) return Fixed;
    int Used = FixedExtent() + Sizes[N - 1] + Line;
    int Result = N - 1;
    while (Result > Fixed && Used + Sizes[Result - 1] + Line <= Avail) {
        --Result;
        Used += Sizes[Result] + Line;
    }
    return Result;
}

int TGridAxis::ClampFirst(int Value, int Avail) const {
    return std::clamp(Value, Fixed, std::max(Fixed, MaxFirst(Avail)));
}

int TGridAxis::FullyVisible(int Avail) const {
    int X = FixedExtent();
    int N = 0;
    for (int I = First; I < Count(); ++I) {
        if (X + Sizes[I] > Avail) break;
        X += Sizes[I] + Line;
        ++N;
    }
    return N;
}

std::optional<int> TGridAxis::Start(int Index, int Avail) const {
    if (Index < 0 || Index >= Count()) return std::nullopt;
    int X = 0;
    if (Index < Fixed) {
        for (int I = 0; I < Index; ++I)
            X += Sizes[I] + Line;
    } else {
        if (Index < First) return std::nullopt;
        X = FixedExtent();
        for (int I = First; I < Index; ++I)
            X += Sizes[I] + Line;
    }
    if (X >= Avail) return std::nullopt;
    return X;
}

int TGridAxis::IndexAt(int Pos) const {
    if (Pos < 0) return -1;
    int X = 0;
    for (int I = 0; I < std::min(Fixed, Count()); ++I) {
        if (Pos < X + Sizes[I] + Line) return I;
        X += Sizes[I] + Line;
    }
    for (int I = First; I < Count(); ++I) {
        if (Pos >= X && Pos < X + Sizes[I] + Line) return I;
        X += Sizes[I] + Line;
    }
    return -1;
}

std::vector<std::pair<int, int>> TGridAxis::Shown(int Avail) const {
    std::vector<std::pair<int, int>> Result;
    int X = 0;
    for (int I = 0; I < std::min(Fixed, Count()) && X < Avail; ++I) {
        Result.emplace_back(I, X);
        X += Sizes[I] + Line;
    }
    for (int I = First; I < Count() && X < Avail; ++I) {
        Result.emplace_back(I, X);
        X += Sizes[I] + Line;
    }
    return Result;
}

int TGridAxis::ScrollTo(int Index, int Avail) const {
    if (Index < Fixed) return First;
    if (Index < First) return ClampFirst(Index, Avail);
    TGridAxis A = *this;
    while (Index >= A.First + std::max(1, A.FullyVisible(Avail)) && A.First < Index) {
        const int Next = A.ClampFirst(A.First + 1, Avail);
        if (Next == A.First) break;
        A.First = Next;
    }
    return A.First;
}

void TGridAxis::SetCount(int Value, int DefaultSize) {
    Value = std::max(1, Value);
    Sizes.resize(static_cast<size_t>(Value), DefaultSize);
    if (Fixed >= Value) Fixed = Value - 1;
    First = std::clamp(First, Fixed, Value - 1);
}

bool GridAxisFits(long long Count, int DefaultSize, int LineWidth) {
    return Count * (std::max(DefaultSize, 1) + static_cast<long long>(LineWidth)) <= INT_MAX;
}

int EdgeScrollStep(int Pos, int Avail) {
    if (Pos < 0) return -1;
    if (Pos >= Avail - 1) return 1;
    return 0;
}

TGridRect TGridRect::Spanning(int Col1, int Row1, int Col2, int Row2) {
    return {std::min(Col1, Col2), std::min(Row1, Row2), std::max(Col1, Col2), std::max(Row1, Row2)};
}

std::optional<TGridCellBox> TGridLayout::CellBox(int ACol, int ARow, int ViewW, int ViewH) const {
    if (ARow < 0 || ARow >= Rows.Count()) return std::nullopt;
    const std::optional<int> X = Cols.Start(ACol, ViewW);
    if (!X) return std::nullopt;
    const std::optional<int> Y = Rows.Start(ARow, ViewH);
    if (!Y) return std::nullopt;
    return TGridCellBox{*X, *Y, Cols.Sizes[ACol], Rows.Sizes[ARow]};
}

std::pair<int, int> TGridLayout::CellAt(int X, int Y) const {
    const int C = Cols.IndexAt(X);
    const int R = Rows.IndexAt(Y);
    if (C < 0 || R < 0) return {-1, -1};
    return {C, R};
}

int TGridLayout::ColLineAt(int X, int Y, int Slop, int ViewW, int ViewH) const {
    if (Y >= Rows.FixedExtent()) return -1;
    for (int C = 0; C < Cols.Count(); ++C) {
        const std::optional<TGridCellBox> B = CellBox(C, 0, ViewW, ViewH);
        if (B && B->Width > 0 && B->Height > 0 && std::abs(X - (B->Left + B->Width)) <= Slop)
            return C;
    }
    return -1;
}

int TGridLayout::RowLineAt(int X, int Y, int Slop, int ViewW, int ViewH) const {
    if (X >= Cols.FixedExtent()) return -1;
    for (int R = 0; R < Rows.Count(); ++R) {
        const std::optional<TGridCellBox> B = CellBox(0, R, ViewW, ViewH);
        if (B && B->Width > 0 && B->Height > 0 && std::abs(Y - (B->Top + B->Height)) <= Slop)
            return R;
    }
    return -1;
}

int MovedIndex(int I, int From, int To) {
    if (I == From) return To;
    if (From < To && I > From && I <= To) return I - 1;
    if (To < From && I >= To && I < From) return I + 1;
    return I;
}

} // namespace oravent
