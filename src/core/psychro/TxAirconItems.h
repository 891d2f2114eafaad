// The model behind the air state window: a named item that remembers where
// its window was (TAirconItem), a psychrometric point holding one moist-air
// state (TPsyPoint), and the property-pair logic (TCombin, TAirCombin) that
// decides from the order of entry which two properties define the state and
// names the pair by the engine's AirState code. SolveAirState completes a
// point through the engine and checks it. No user interface here: failures
// are raised as EPsychroError with the text the window shows.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <string_view>

#include "psychro/Hygrocalc.h"

namespace oravent {

// Window position value meaning "not set" (any value below -98).
constexpr std::int32_t kFormPosNotSet = -99;

// The window that shows an item; the GUI derives its window from this so
// that the core can refer to it without knowing the toolkit.
class TAirconView {
public:
    virtual ~TAirconView() = default;
};

class TAirconItem {
public:
    // Owner is the creating object, kept for reference only (not owned).
    TAirconItem(void* AOwner, std::string_view NamePrefix, std::int32_t ANumber,
                std::string_view AText);
    virtual ~TAirconItem() = default;

    void* Owner() const { return FOwner; }
    const std::string& Name() const { return FName; } // prefix + number, "Node1"

    std::string ItemText; // display name; the component name when created without text
    std::int32_t Number = 0;
    std::int32_t FormLeft = kFormPosNotSet;
    std::int32_t FormTop = kFormPosNotSet;
    TAirconView* Window = nullptr; // the window showing the item, not owned

private:
    void* FOwner = nullptr;
    std::string FName;
};

class TPsyPoint : public TAirconItem {
public:
    TPsyPoint(void* AOwner, std::string_view NamePrefix, std::int32_t ANumber,
              std::string_view AText, const TAirStateRec& AState);
    TAirStateRec State;
};

// Which two properties define a state, from the order they were entered.
class TCombin {
public:
    virtual ~TCombin() = default;
    // Searches Order for the first usable pair: the most recent letter with
    // the next most recent, then with older ones, then the second most
    // recent letter, and so on. Sets Known (and the code of a descendant).
    virtual void FindCombination();
    // True when the two letters of Known form a usable pair.
    virtual bool IsValidPair() = 0;

    std::string Order = "tb"; // property letters, most recent first, each once
    std::set<char> Known;     // the current pair
};

class TAirCombin : public TCombin {
public:
    // Letter i is row i + 2 of the air state window and field i + 1 of
    // TAirStateRec; z stands for no property.
    static constexpr std::string_view Letters = "ptbhwfdvsrcz";

    // Records that the property with this letter index was just entered and
    // searches the pair again. An index outside Letters raises
    // std::out_of_range and changes nothing.
    void Touch(std::uint8_t Index);
    bool IsValidPair() override;

    // AirState code of a pair of letters, or -1 when the pair is not usable.
    static int PairCode(char A, char B);

    std::uint8_t Code = 0;
};

// Completes Point.State from its pressure and the two fields of Code. An
// engine failure raises EPsychroError("Invalid air state") and leaves the
// state unchanged; a state that fails CheckAirState is kept and its message
// raised.
void SolveAirState(TPsyPoint& Point, std::uint8_t Code);

} // namespace oravent
