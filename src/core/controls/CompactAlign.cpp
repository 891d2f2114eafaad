#include "controls/CompactAlign.h"

#include <algorithm>

namespace oravent {

TCompactAlignResult FitToColumns(const TCompactAlignInput& In, const int (&ColWidths)[3]) {
    TCompactAlignResult R;
    for (int C = 0; C < 3; ++C)
        R.ColWidths[C] = ColWidths[C];
    const int B = In.SingleBorder ? 3 : -1;
    R.Width = In.FrameWidth + In.GridLineWidth * 3 + B + ColWidths[0] + ColWidths[1] + ColWidths[2];
    R.Height = B + (In.Row0Height + In.GridLineWidth) * In.RowCount + In.ToolBarHeight +
               In.StatusBarHeight + In.FrameHeight + In.ExtraHeight;
    if (R.Height > In.MaxHeight) {
        R.Height = In.MaxHeight;
        R.Width += In.ScrollBarWidth;
        R.HeightCapped = true;
    }
    return R;
}

TCompactAlignResult CompactAlign(const TCompactAlignInput& In) {
    int Widths[3];
    for (int C = 0; C < 3; ++C) {
        const int M = std::max(50, In.TextWidths[C]);
        Widths[C] = C == 0 ? std::max(M + 10, 90) : C == 1 ? std::max(M + 25, 60) : M + 15;
    }
    return FitToColumns(In, Widths);
}

TCompactAlignResult TechFormAlign(TCompactAlignInput In, int ToolBarHeight) {
    In.ToolBarHeight = ToolBarHeight;
    In.ExtraHeight = 2;
    return CompactAlign(In);
}

} // namespace oravent
