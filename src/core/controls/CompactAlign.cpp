#include "controls/CompactAlign.h"

#include <algorithm>

namespace oravent {

TCompactAlignResult CompactAlign(const TCompactAlignInput& In) {
    TCompactAlignResult R;
    for (int C = 0; C < 3; ++C) {
        const int M = std::max(50, In.TextWidths[C]);
        R.ColWidths[C] = C == 0 ? std::max(M + 10, 90) : C == 1 ? std::max(M + 25, 60) : M + 15;
    }
    const int B = In.SingleBorder ? 3 : -1;
    R.Width = In.FrameWidth + In.GridLineWidth * 3 + B + R.ColWidths[0] + R.ColWidths[1] +
              R.ColWidths[2];
    R.Height = B + (In.Row0Height + In.GridLineWidth) * In.RowCount + In.StatusBarHeight +
               In.FrameHeight;
    if (R.Height > In.MaxHeight) {
        R.Height = In.MaxHeight;
        R.Width += In.ScrollBarWidth;
        R.HeightCapped = true;
    }
    return R;
}

} // namespace oravent
