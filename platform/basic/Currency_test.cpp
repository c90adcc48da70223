#include "platform/basic/Currency.h"

#include "platform/basic/RuntimeError.h"
#include "platform/basic/Variant.h"

#include <gtest/gtest.h>

using vb::Currency;

TEST(Currency, FromDoubleRoundsHalvesToEvenAtFourDecimals)
{
    EXPECT_EQ(Currency::FromDouble(1.23455).Raw(), 12346);
    EXPECT_EQ(Currency::FromDouble(1.23445).Raw(), 12344);
    EXPECT_EQ(Currency::FromDouble(0.00005).Raw(), 0);
    EXPECT_EQ(Currency::FromDouble(0.00015).Raw(), 2);
    EXPECT_EQ(Currency::FromDouble(-0.00015).Raw(), -2);
    EXPECT_EQ(Currency::FromDouble(12.5).Raw(), 125000);
    EXPECT_THROW(Currency::FromDouble(1e16), vb::RuntimeError);
}

TEST(Currency, ExactArithmetic)
{
    const Currency a = Currency::FromRaw(1); // 0.0001
    Currency sum;
    for (int i = 0; i < 10000; ++i)
        sum += a;
    EXPECT_EQ(sum, Currency(1));
    EXPECT_EQ((Currency::FromDouble(0.1) + Currency::FromDouble(0.2)), Currency::FromDouble(0.3));
    EXPECT_EQ((Currency(2000) - Currency(10000)).Raw(), -80000000);
    // 1.0001 * 1.0001 = 1.00020001 -> 1.0002
    EXPECT_EQ((Currency::FromRaw(10001) * Currency::FromRaw(10001)).Raw(), 10002);
    // 0.0005 * 0.5 = 0.00025 -> half to even 0.0002
    EXPECT_EQ((Currency::FromRaw(5) * Currency::FromRaw(5000)).Raw(), 2);
    EXPECT_EQ((Currency::FromRaw(15) * Currency::FromRaw(5000)).Raw(), 8);
    EXPECT_DOUBLE_EQ(Currency(3) / Currency(4), 0.75);
    EXPECT_THROW(Currency(1) / Currency(), vb::RuntimeError);
    EXPECT_THROW(Currency::FromRaw(INT64_MAX) + Currency::FromRaw(1), vb::RuntimeError);
}

TEST(Currency, ParsesMoneyTextExactly)
{
    Currency c;
    ASSERT_TRUE(Currency::TryParse("$1,234.50", c));
    EXPECT_EQ(c.Raw(), 12345000);
    ASSERT_TRUE(Currency::TryParse("-$0.00005", c));
    EXPECT_EQ(c.Raw(), 0);
    ASSERT_TRUE(Currency::TryParse("0.00015", c));
    EXPECT_EQ(c.Raw(), 2);
    ASSERT_TRUE(Currency::TryParse("922337203685477.5807", c));
    EXPECT_EQ(c.Raw(), INT64_MAX);
    bool overflow = false;
    EXPECT_FALSE(Currency::TryParse("922337203685477.5808", c, &overflow));
    EXPECT_TRUE(overflow);
    EXPECT_FALSE(Currency::TryParse("12x", c, &overflow));
    EXPECT_FALSE(overflow);
    EXPECT_EQ(vb::CCur("$12,000.00"), Currency(12000));
}
