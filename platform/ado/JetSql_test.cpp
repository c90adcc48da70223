#include "platform/ado/JetSql.h"

#include <gtest/gtest.h>

using ado::jet::BareTableName;
using ado::jet::RewriteSql;

TEST(JetSql, DateLiteralsBecomeTheStoredTextOutsideQuotesOnly)
{
    EXPECT_EQ(RewriteSql("SELECT * FROM Stores WHERE LeaseEndDate BETWEEN #2003-1-31# AND #2003-2-28# "
                         "ORDER BY LeaseEndDate ASC"),
              "SELECT * FROM Stores WHERE LeaseEndDate BETWEEN min('2003-01-31 00:00:00', '2003-02-28 00:00:00') "
              "AND max('2003-01-31 00:00:00', '2003-02-28 00:00:00') ORDER BY LeaseEndDate ASC");
    EXPECT_EQ(RewriteSql("SELECT 1 WHERE d = #1/31/2003#"), "SELECT 1 WHERE d = '2003-01-31 00:00:00'");
    EXPECT_EQ(RewriteSql("SELECT 1 WHERE d = #12/8/2026 1:05:00 PM#"), "SELECT 1 WHERE d = '2026-12-08 13:05:00'");
    // Inside quoted text and quoted names nothing changes, '' included.
    EXPECT_EQ(RewriteSql("SELECT * FROM t WHERE a = 'It''s #2003-1-31#' AND \"b#1/1/2000#\" = 1"),
              "SELECT * FROM t WHERE a = 'It''s #2003-1-31#' AND \"b#1/1/2000#\" = 1");
    // Not a date: left for SQLite to refuse.
    EXPECT_EQ(RewriteSql("SELECT #abc#"), "SELECT #abc#");
}

TEST(JetSql, BetweenBoundsMayComeInEitherOrder)
{
    EXPECT_EQ(RewriteSql("SELECT Year FROM BaseRate WHERE StoreID=3 and Year BETWEEN 2006 and 2002"),
              "SELECT Year FROM BaseRate WHERE StoreID=3 and Year BETWEEN min(2006, 2002) and max(2006, 2002)");
    // The bound ends at the next clause, a closing parenthesis or AND/OR.
    EXPECT_EQ(RewriteSql("SELECT * FROM CalInfo WHERE (date BETWEEN 10 and 20) OR ID = 1"),
              "SELECT * FROM CalInfo WHERE (date BETWEEN min(10, 20) and max(10, 20)) OR ID = 1");
    EXPECT_EQ(RewriteSql("SELECT * FROM t WHERE x BETWEEN (1 + 2) AND abs(-7) AND y = 1 ORDER BY x"),
              "SELECT * FROM t WHERE x BETWEEN min((1 + 2), abs(-7)) AND max((1 + 2), abs(-7)) AND y = 1 ORDER BY x");
    EXPECT_EQ(RewriteSql("SELECT x NOT BETWEEN -5 AND 5, y FROM t"),
              "SELECT x NOT BETWEEN min(-5, 5) AND max(-5, 5), y FROM t");
    // A malformed BETWEEN is passed on unchanged.
    EXPECT_EQ(RewriteSql("SELECT * FROM t WHERE x BETWEEN 1"), "SELECT * FROM t WHERE x BETWEEN 1");
}

TEST(JetSql, BackQuotedNamesAndBareTableNames)
{
    EXPECT_EQ(RewriteSql("SELECT BaseRate.`Year` FROM `Landlord`"), "SELECT BaseRate.\"Year\" FROM \"Landlord\"");
    EXPECT_EQ(BareTableName("Stores"), "Stores");
    EXPECT_EQ(BareTableName("  [Sales]  "), "Sales");
    EXPECT_EQ(BareTableName("`LandLord`"), "LandLord");
    EXPECT_EQ(BareTableName("SELECT * FROM Stores"), std::nullopt);
    EXPECT_EQ(BareTableName("Stores;"), std::nullopt);
    EXPECT_EQ(BareTableName("12"), std::nullopt);
    EXPECT_EQ(BareTableName(""), std::nullopt);
}

TEST(JetSql, QuotingHelpers)
{
    EXPECT_EQ(ado::SqlQuote("O'Brien Realty"), "'O''Brien Realty'");
    EXPECT_EQ(ado::SqlQuote(""), "''");
    EXPECT_EQ(ado::SqlQuote("''"), "''''''");
    EXPECT_EQ(ado::jet::QuoteIdentifier("a\"b"), "\"a\"\"b\"");
}
