#include <gtest/gtest.h>
#include "units/TxConv.h"
TEST(Tmp, Convert) { EXPECT_DOUBLE_EQ(oravent::ConvertToUnits(20, 1.8, 32), 68); }
