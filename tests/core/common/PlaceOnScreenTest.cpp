// A window opened at the mouse cursor stays whole on the screen.
#include <gtest/gtest.h>

#include "common/AppFolders.h"

namespace oravent {
namespace {

struct TCursorRow {
    const char* Name;
    TScreenRect Screen;
    int X, Y, Width, Height; // cursor and window size
    int Left, Top;           // where the window goes
};

TEST(KeepWholeOnScreenTest, WindowAtTheCursor) {
    const TScreenRect Hd{0, 0, 1920, 1080};
    const TScreenRect Right{1920, 0, 1280, 1024}; // a second screen
    const TCursorRow Rows[] = {
        {"inside_stays_at_cursor", Hd, 600, 400, 300, 200, 600, 400},
        {"bottom_right_corner_moves_back", Hd, 1900, 1070, 300, 200, 1620, 880},
        {"exactly_fits", Hd, 1620, 880, 300, 200, 1620, 880},
        {"one_pixel_over", Hd, 1621, 881, 300, 200, 1620, 880},
        {"left_of_screen_comes_in", Hd, -40, -5, 300, 200, 0, 0},
        {"larger_than_screen_shows_top_left", Hd, 500, 500, 2500, 1500, 0, 0},
        {"second_screen_right_edge", Right, 3190, 100, 300, 200, 2900, 100},
        {"second_screen_left_of_it", Right, 1000, 100, 300, 200, 1920, 100},
    };
    for (const TCursorRow& R : Rows) {
        TFormState S;
        S.Left = R.X;
        S.Top = R.Y;
        S.Width = R.Width;
        S.Height = R.Height;
        const TFormState Out = KeepWholeOnScreen(S, R.Screen);
        EXPECT_EQ(Out.Left, R.Left) << R.Name;
        EXPECT_EQ(Out.Top, R.Top) << R.Name;
    }
}

} // namespace
} // namespace oravent
