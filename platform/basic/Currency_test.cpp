#include "platform/basic/Currency.h"

#include "platform/basic/NumberText.h"
#include "platform/basic/RuntimeError.h"
#include "platform/basic/Variant.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

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

// The conversion rounds the value's 15 shown digits to four places, halves to
// even; whatever way it takes there, the result is that of the digits.
int64_t throughDigits(double value)
{
    int64_t raw = 0;
    EXPECT_TRUE(vb::detail::DecimalToScaled(vb::detail::DoubleToDecimal(value), 4, raw)) << value;
    return raw;
}

TEST(Currency, FromDoubleAgreesWithTheShownDigitsOnTiesAndAnyValue)
{
    // Halves at the fourth place, and values a few units of the last digit
    // either side of one, at every size money takes.
    for (int64_t units : {0LL, 1LL, 2LL, 3LL, 12LL, 999LL, 12345LL, 99999LL, 1234567LL, 987654321LL, 12345678901LL,
                          4503599627LL, 90071992547LL}) {
        for (double scale : {1.0, 10.0, 1000.0}) {
            const double half = (static_cast<double>(units) * scale + 0.5) / 10000.0;
            for (double step : {0.0, 1e-15, -1e-15, 1e-12, -1e-12, 1e-9, -1e-9}) {
                for (double v : {half + step * half, -(half + step * half), std::nextafter(half, 0.0),
                                 std::nextafter(half, 1e300)}) {
                    EXPECT_EQ(Currency::FromDouble(v).Raw(), throughDigits(v)) << std::hexfloat << v;
                }
            }
        }
    }
    // A million values of every magnitude up to the limit, and money-like
    // values with two and five decimals.
    std::mt19937_64 rng(20261209);
    std::uniform_real_distribution<double> exponent(-8.0, 14.9);
    std::uniform_int_distribution<int64_t> cents(-99999999999, 99999999999);
    int mismatches = 0;
    for (int i = 0; i < 1000000 && mismatches < 10; ++i) {
        double v = 0;
        switch (i % 3) {
        case 0: v = std::pow(10.0, exponent(rng)) * (rng() % 2 ? 1 : -1); break;
        case 1: v = static_cast<double>(cents(rng)) / 100.0; break;
        default: v = static_cast<double>(cents(rng)) / 100000.0; break;
        }
        if (Currency::FromDouble(v).Raw() != throughDigits(v)) {
            ADD_FAILURE() << std::hexfloat << v;
            ++mismatches;
        }
    }
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
