#include "psychro/TxAirconItems.h"

#include <stdexcept>

#include "psychro/AirStateText.h"

namespace oravent {

TAirconItem::TAirconItem(void* AOwner, std::string_view NamePrefix, std::int32_t ANumber,
                         std::string_view AText)
    : Number(ANumber), FOwner(AOwner), FName(std::string(NamePrefix) + std::to_string(ANumber)) {
    ItemText = AText.empty() ? FName : std::string(AText);
}

TPsyPoint::TPsyPoint(void* AOwner, std::string_view NamePrefix, std::int32_t ANumber,
                     std::string_view AText, const TAirStateRec& AState)
    : TAirconItem(AOwner, NamePrefix, ANumber, AText), State(AState) {}

void TCombin::FindCombination() {
    const std::size_t n = Order.size();
    for (std::size_t i = 0; i + 1 < n; ++i)
        for (std::size_t j = i + 1; j < n; ++j) {
            Known = {Order[i], Order[j]};
            if (IsValidPair()) return;
        }
}

namespace {

struct TPairCode {
    char A, B;
    int Code;
};

constexpr TPairCode kPairCodes[] = {
    {'t', 'b', 0},  {'t', 'h', 1},  {'t', 'w', 2},  {'t', 'f', 3},  {'t', 'd', 4},  {'t', 'v', 5},
    {'t', 'r', 7},  {'b', 'h', 8},  {'b', 'w', 9},  {'b', 'f', 10}, {'b', 'd', 11}, {'b', 'v', 12},
    {'b', 's', 13}, {'b', 'r', 14}, {'h', 'w', 15}, {'h', 'f', 16}, {'h', 'd', 17}, {'h', 'v', 18},
    {'h', 's', 19}, {'w', 'f', 25}, {'w', 's', 26}, {'f', 'd', 28}, {'f', 'v', 29}, {'f', 's', 30},
    {'d', 's', 31}, {'v', 's', 32},
};

} // namespace

int TAirCombin::PairCode(char A, char B) {
    for (const auto& P : kPairCodes)
        if ((P.A == A && P.B == B) || (P.A == B && P.B == A)) return P.Code;
    return -1;
}

bool TAirCombin::IsValidPair() {
    if (Known.size() == 2) {
        const int C = PairCode(*Known.begin(), *Known.rbegin());
        if (C >= 0) {
            Code = static_cast<std::uint8_t>(C);
            return true;
        }
    }
    Code = 0;
    return false;
}

void TAirCombin::Touch(std::uint8_t Index) {
    if (Index >= Letters.size())
        throw std::out_of_range("No property with index " + std::to_string(Index));
    const char L = Letters[Index];
    if (const auto Pos = Order.find(L); Pos != std::string::npos) Order.erase(Pos, 1);
    Order.insert(Order.begin(), L);
    FindCombination();
}

void SolveAirState(TPsyPoint& Point, std::uint8_t Code) {
    TAirStateRec R;
    try {
        AirState(R, Point.State, Code);
    } catch (const EPsychroError&) {
        throw EPsychroError("Invalid air state");
    }
    Point.State = R;
    const std::string Message = CheckAirState(Point.State);
    if (!Message.empty()) throw EPsychroError(Message);
}

} // namespace oravent
