#include "program/stores/cAddress.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

struct Fields {
    std::string street, city, state, postcode, country;
    bool operator==(const Fields&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Fields& f)
{
    return os << "{street '" << f.street << "', city '" << f.city << "', state '" << f.state << "', postcode '"
              << f.postcode << "', country '" << f.country << "'}";
}

Fields fieldsOf(const cAddress& a)
{
    return {a.Street(), a.City(), a.State(), a.Postcode(), a.Country()};
}

struct ParseCase {
    const char* name;
    bool autoCorrect;
    std::string text;
    Fields expected;
    std::string composed;
    bool wellFormed; // parse, compose and parse again gives the same fields
};

const std::vector<ParseCase> kParseCases = {
    {"us tidied", true, "1 main st\r\nspringfield, il 10001\r\nusa",
     {"1 Main St", "Springfield", "IL", "10001", "USA"}, "1 Main St\r\nSpringfield, IL 10001\r\nUSA", true},
    {"us as typed", false, "1 main st\r\nspringfield, il 10001\r\nusa",
     {"1 main st", "springfield", "il", "10001", "usa"}, "1 main st\r\nspringfield, il 10001\r\nusa", true},
    {"state of two words", false, "New York, New York 10001",
     {"", "New York", "New York", "10001", ""}, "New York, New York 10001\r\n", true},
    {"last word is the postcode", false, "London, SW1A 1AA",
     {"", "London", "SW1A", "1AA", ""}, "London, SW1A 1AA\r\n", true},
    {"no comma: all city", false, "Springfield IL 10001",
     {"", "Springfield IL 10001", "", "", ""}, "Springfield IL 10001,\r\n", true},
    {"comma still on a state word when tidied", true, "springfield, il, 10001",
     {"", "Springfield", "Il", "10001", ""}, "Springfield, Il 10001\r\n", false},
    {"comma inside a word loses the last character", false, "Springfield,IL 10001",
     {"", "Springfield,I", "10001", "", ""}, "Springfield,I, 10001\r\n", false},
    {"country as the last of two lines", false, "1 Main St\r\nUSA",
     {"", "1 Main St", "", "", "USA"}, "1 Main St,\r\nUSA", false},
    {"country as the only line", true, "united kingdom", {"", "", "", "", "United Kingdom"}, "United Kingdom", true},
    {"empty lines ignored", false, "1 Main St\r\n\r\nSpringfield, IL 10001\r\n",
     {"1 Main St", "Springfield", "IL", "10001", ""}, "1 Main St\r\nSpringfield, IL 10001\r\n", true},
    {"nothing but line breaks", true, "\r\n\r\n", {}, "", true},
    {"street lines tidied one by one", true, "1 main st,\r\nsuite 5,\r\nspringfield, il 10001",
     {"1 Main St\r\nSuite 5", "Springfield", "IL", "10001", ""}, "1 Main St\r\nSuite 5\r\nSpringfield, IL 10001\r\n", true},
    {"blank at the end of the city line", false, "1 main st \r\nspringfield, il 10001 \r\nusa",
     {"1 main st", "springfield", "il", "10001", "usa"}, "1 main st\r\nspringfield, il 10001\r\nusa", true},
    {"blanks collapsed", false, "  1  Main   St\r\nSpringfield,   IL  10001  ",
     {"1 Main St", "Springfield", "IL", "10001", ""}, "1 Main St\r\nSpringfield, IL 10001\r\n", true},
    {"lone line feed is no line break", false, "1 Main St\nSpringfield, IL 10001",
     {"", "1 Main St\nSpringfield", "IL", "10001", ""}, "1 Main St\nSpringfield, IL 10001\r\n", true},

    // Addresses of other countries go through the same rules.
    {"united states, long name", true, "350 fifth avenue\r\nnew york, ny 10118\r\nunited states of america",
     {"350 Fifth Avenue", "New York", "NY", "10118", "United States of America"},
     "350 Fifth Avenue\r\nNew York, NY 10118\r\nUnited States of America", true},
    {"united kingdom", true, "10 downing street\r\nlondon, sw1a 2aa\r\nunited kingdom",
     {"10 Downing Street", "London", "Sw1a", "2aa", "United Kingdom"},
     "10 Downing Street\r\nLondon, Sw1a 2aa\r\nUnited Kingdom", true},
    {"canada as typed", false, "100 Queen St W\r\nToronto, ON M5H 2N2\r\nCanada",
     {"100 Queen St W", "Toronto", "ON M5H", "2N2", "Canada"}, "100 Queen St W\r\nToronto, ON M5H 2N2\r\nCanada", true},
    {"canada tidied: ON is no US state", true, "toronto, on m5h 2n2\r\ncanada",
     {"", "Toronto", "On M5h", "2n2", "Canada"}, "Toronto, On M5h 2n2\r\nCanada", true},
    {"australia", true, "1 george st\r\nsydney, nsw 2000\r\naustralia",
     {"1 George St", "Sydney", "Nsw", "2000", "Australia"}, "1 George St\r\nSydney, Nsw 2000\r\nAustralia", true},
    {"germany", false, "Hauptstraße 5\r\n10115 Berlin\r\nGermany",
     {"Hauptstraße 5", "10115 Berlin", "", "", "Germany"}, "Hauptstraße 5\r\n10115 Berlin,\r\nGermany", true},
    {"a country not in the list is the city line", true, "hauptstraße 5\r\n10115 berlin\r\ndeutschland",
     {"Hauptstraße 5\r\n10115 Berlin", "Deutschland", "", "", ""}, "Hauptstraße 5\r\n10115 Berlin\r\nDeutschland,\r\n",
     false},
    // Two-letter words read as US state codes wherever they stand.
    {"france", true, "12 rue de la paix\r\n75002 paris\r\nfrance",
     {"12 Rue DE LA Paix", "75002 Paris", "", "", "France"}, "12 Rue DE LA Paix\r\n75002 Paris,\r\nFrance", true},
    {"mexico", true, "av. reforma 222\r\nciudad de méxico, cdmx 06600\r\nmexico",
     {"Av. Reforma 222", "Ciudad DE México", "Cdmx", "06600", "Mexico"},
     "Av. Reforma 222\r\nCiudad DE México, Cdmx 06600\r\nMexico", true},
    {"japan", true, "1-1 chiyoda\r\nchiyoda-ku, tokyo 100-0001\r\njapan",
     {"1-1 Chiyoda", "Chiyoda-Ku", "Tokyo", "100-0001", "Japan"}, "1-1 Chiyoda\r\nChiyoda-Ku, Tokyo 100-0001\r\nJapan",
     true},
    {"ireland", true, "mcdonald house\r\no'connell street\r\ndublin, d01 f5p2\r\nireland",
     {"McDonald House\r\nO'Connell Street", "Dublin", "D01", "F5p2", "Ireland"},
     "McDonald House\r\nO'Connell Street\r\nDublin, D01 F5p2\r\nIreland", true},
    {"réunion in capitals, tidied", true, "1 rue de paris\r\nsaint-denis, 97400\r\nRÉUNION",
     {"1 Rue DE Paris", "Saint-Denis", "97400", "", "Réunion"}, "1 Rue DE Paris\r\nSaint-Denis, 97400\r\nRéunion", true},
    {"réunion as typed", false, "Saint-Denis, 97400\r\nréunion",
     {"", "Saint-Denis", "97400", "", "réunion"}, "Saint-Denis, 97400\r\nréunion", true},
};

TEST(cAddress, ParsesAndComposesAddresses)
{
    for (const ParseCase& pc : kParseCases) {
        SCOPED_TRACE(pc.name);
        cAddress a;
        a.SetAutoCorrect(pc.autoCorrect);
        a.SetAddress(pc.text);
        EXPECT_EQ(fieldsOf(a), pc.expected);
        EXPECT_EQ(a.Address(), pc.composed);
    }
}

TEST(cAddress, ParseComposeParseIsStableForWellFormedAddresses)
{
    for (const ParseCase& pc : kParseCases) {
        if (!pc.wellFormed)
            continue;
        SCOPED_TRACE(pc.name);
        cAddress first;
        first.SetAutoCorrect(pc.autoCorrect);
        first.SetAddress(pc.text);
        cAddress second;
        second.SetAutoCorrect(pc.autoCorrect);
        second.SetAddress(first.Address());
        EXPECT_EQ(fieldsOf(second), fieldsOf(first));
        EXPECT_EQ(second.Address(), first.Address());
    }
}

TEST(cAddress, ComposesWhateverFieldsAreSet)
{
    struct Case {
        Fields fields;
        std::string composed;
    };
    const std::vector<Case> cases = {
        {{"1 Main St", "Springfield", "IL", "10001", "USA"}, "1 Main St\r\nSpringfield, IL 10001\r\nUSA"},
        {{"1 Main St", "", "", "", ""}, "1 Main St\r\n\r\n"},
        {{"", "Springfield", "", "", ""}, "Springfield,\r\n"},
        {{"", "", "", "", ""}, ""},
        {{"", "", "", "", "USA"}, "USA"},
        {{"", "Springfield", "", "10001", ""}, "Springfield, 10001\r\n"},
        {{"", "", "IL", "", ""}, "IL\r\n"},
        {{"1 Main St", "", "", "", "USA"}, "1 Main St\r\n\r\nUSA"},
        {{"1 Main St\r\nSuite 5", "Springfield", "IL", "", ""}, "1 Main St\r\nSuite 5\r\nSpringfield, IL\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.composed);
        cAddress a;
        a.SetStreet(c.fields.street);
        a.SetCity(c.fields.city);
        a.SetState(c.fields.state);
        a.SetPostcode(c.fields.postcode);
        a.SetCountry(c.fields.country);
        EXPECT_EQ(fieldsOf(a), c.fields);
        EXPECT_EQ(a.Address(), c.composed);
    }
}

TEST(cAddress, WordsAreProperCased)
{
    // The postcode setter tidies its whole text as one word.
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"mcdonald", "McDonald"}, {"macdonald", "MacDonald"}, {"o'brien", "O'Brien"}, {"don't", "Don't"},
        {"smith-jones", "Smith-Jones"}, {"ok", "OK"}, {"dc", "DC"}, {"apt", "Apt"}, {"tomcat", "ToMcAt"},
        {"machine", "MacHine"}, {"tarmac", "Tarmac"}, {"mac", "Mac"}, {"mc", "Mc"}, {"SMITH-", "Smith-"},
        {"a-b-c", "A-B-c"}, {"o'b'c", "O'B'c"}, {"'", "'"}, {"x", "X"}, {"ÉCOLE", "École"}, {"émile", "Émile"},
        {"sw1a 1aa", "Sw1a 1aa"}, {"straße", "Straße"}, {"STRASSE", "Strasse"},
    };
    for (const auto& [word, expected] : cases) {
        cAddress a;
        a.SetAutoCorrect(true);
        a.SetPostcode(word);
        EXPECT_EQ(a.Postcode(), expected) << word;
        a.SetAutoCorrect(false);
        a.SetPostcode(word);
        EXPECT_EQ(a.Postcode(), word);
    }
}

TEST(cAddress, FieldSettersTidyWhatTheyAreGiven)
{
    cAddress a;
    a.SetAutoCorrect(true);
    // Every street line is tidied on its own, as the whole-address parse does, and a tidy street
    // comes back unchanged, so showing and saving a store leaves its address as it was.
    a.SetStreet("1 main st\r\nsuite 5");
    EXPECT_EQ(a.Street(), "1 Main St\r\nSuite 5");
    a.SetStreet("  1  main st,\r\nsuite 5,  ");
    EXPECT_EQ(a.Street(), "1 Main St\r\nSuite 5");
    a.SetStreet("1200 Harbor Blvd\r\nUnit 14\r\nBuilding C");
    EXPECT_EQ(a.Street(), "1200 Harbor Blvd\r\nUnit 14\r\nBuilding C");
    a.SetStreet(a.Street());
    EXPECT_EQ(a.Street(), "1200 Harbor Blvd\r\nUnit 14\r\nBuilding C");
    a.SetCity("springfield,");
    EXPECT_EQ(a.City(), "Springfield");
    a.SetCity("la jolla");
    EXPECT_EQ(a.City(), "LA Jolla");
    a.SetState("new  york,");
    EXPECT_EQ(a.State(), "New York");
    a.SetState("il");
    EXPECT_EQ(a.State(), "IL");
    a.SetCountry("usa");
    EXPECT_EQ(a.Country(), "USA");
    a.SetCountry("RÉUNION");
    EXPECT_EQ(a.Country(), "Réunion");
    a.SetCountry("scotland");
    EXPECT_EQ(a.Country(), "scotland");

    cAddress b;
    b.SetStreet(" 1 main st,\r\nsuite 5, ");
    EXPECT_EQ(b.Street(), "1 main st\r\nsuite 5");
    b.SetCity("springfield,,");
    EXPECT_EQ(b.City(), "springfield,");
    b.SetPostcode(" 10001 ,");
    EXPECT_EQ(b.Postcode(), "10001 ");
    b.SetCountry("usa");
    EXPECT_EQ(b.Country(), "usa");
    // The country is taken as given, blanks included.
    b.SetCountry("  USA ");
    EXPECT_EQ(b.Country(), "  USA ");
}

TEST(cAddress, AnEmptyAddressTextLeavesTheFieldsAlone)
{
    cAddress a;
    a.SetAddress("1 Main St\r\nSpringfield, IL 10001\r\nUSA");
    const Fields before = fieldsOf(a);
    a.SetAddress("   ");
    EXPECT_EQ(fieldsOf(a), before);
    a.SetAddress("");
    EXPECT_EQ(a.Address(), "1 Main St\r\nSpringfield, IL 10001\r\nUSA");
}

TEST(cAddress, ValidateAddressTellsWhichFieldsATextFillsAndChangesNothing)
{
    cAddress a;
    a.SetAutoCorrect(true);
    a.SetAddress("9 elm rd\r\ndover, de 19901");
    const Fields before = fieldsOf(a);

    EXPECT_EQ(a.ValidateAddress("Springfield, IL", 15), 6);
    EXPECT_EQ(a.ValidateAddress("1 Main St\r\nSpringfield, IL 10001", 15), 15);
    EXPECT_EQ(a.ValidateAddress("1 Main St\r\nSpringfield, IL 10001\r\nUSA", 31), 31);
    EXPECT_EQ(a.ValidateAddress("1 Main St\r\nSpringfield, IL 10001\r\nUSA", 15), 15);
    EXPECT_EQ(a.ValidateAddress("1 Main St\r\nSpringfield, IL 10001\r\nUSA", 2 | 16), 18);
    EXPECT_EQ(a.ValidateAddress("Springfield", 31), 2);
    EXPECT_EQ(a.ValidateAddress("USA", 31), 16);
    EXPECT_EQ(a.ValidateAddress("\r\n", 31), 0);
    EXPECT_EQ(a.ValidateAddress("", 31), 0);
    EXPECT_EQ(fieldsOf(a), before);
    EXPECT_EQ(a.Address(), "9 Elm Rd\r\nDover, DE 19901\r\n");
    EXPECT_TRUE(a.AutoCorrect());
}

TEST(cAddress, CollapseBlanksKeepsOneBlankAndOtherWhiteSpace)
{
    EXPECT_EQ(mCommon::CollapseBlanks("a   b"), "a b");
    EXPECT_EQ(mCommon::CollapseBlanks("   a  b  c   "), "a b c");
    EXPECT_EQ(mCommon::CollapseBlanks("a\t\tb \r\n  c"), "a\t\tb \r\n c");
    EXPECT_EQ(mCommon::CollapseBlanks("     "), "");
    EXPECT_EQ(mCommon::CollapseBlanks(""), "");
}

struct FakeComboBox {
    std::vector<std::pair<std::string, long>> items;
    int listIndex = -1;

    void Clear()
    {
        items.clear();
        listIndex = -1;
    }
    void AddItem(const std::string& text) { items.emplace_back(text, 0); }
    int ListCount() const { return static_cast<int>(items.size()); }
    void SetItemData(int index, long data) { items.at(static_cast<size_t>(index)).second = data; }
    void SetListIndex(int index)
    {
        ASSERT_LT(index, ListCount());
        listIndex = index;
    }
};

TEST(cAddress, CountryListAndComboBox)
{
    const auto countries = cAddress::Countries();
    EXPECT_EQ(countries.front(), "Afghanistan");
    EXPECT_EQ(countries[179], "Réunion");
    EXPECT_EQ(countries[229], "United States of America");
    EXPECT_EQ(countries[230], "USA");
    EXPECT_EQ(countries.back(), "Zimbabwe");
    EXPECT_EQ(std::set<std::string_view>(countries.begin(), countries.end()).size(), 245u);

    const auto codes = cAddress::StateCodes();
    const std::set<std::string_view> unique(codes.begin(), codes.end());
    EXPECT_EQ(unique.size(), 51u);
    EXPECT_TRUE(unique.count("DC"));
    EXPECT_EQ(codes.front(), "AL");
    EXPECT_EQ(codes.back(), "WY");

    cAddress a;
    FakeComboBox combo;
    combo.AddItem("left over");
    a.FillComboBox(combo, 0);
    ASSERT_EQ(combo.ListCount(), 245);
    EXPECT_EQ(combo.listIndex, 0);
    for (int i = 0; i < 245; ++i) {
        EXPECT_EQ(combo.items[static_cast<size_t>(i)].first, countries[static_cast<size_t>(i)]);
        EXPECT_EQ(combo.items[static_cast<size_t>(i)].second, i + 1);
    }

    a.FillComboBox(combo, 1);
    EXPECT_EQ(combo.ListCount(), 0);
    EXPECT_EQ(combo.listIndex, -1);
}

TEST(cAddress, AnyTextIsTakenWithoutError)
{
    const std::vector<std::string> texts = {
        "\xff\xfe bad \xc3 utf-8\r\n\x80, \x81 \xe2\x82",
        ",", ",,,\r\n,\r\n, ,", "\r", "\r\r\n\n", "-", "'", "mc", "mac", " , ", std::string(1, '\0'),
        std::string(5000, 'm') + "ac, " + std::string(3000, ',') + "\r\nusa",
    };
    for (bool autoCorrect : {false, true}) {
        for (const std::string& t : texts) {
            cAddress a;
            a.SetAutoCorrect(autoCorrect);
            EXPECT_NO_THROW({
                a.SetAddress(t);
                (void)a.Address();
                a.SetStreet(t);
                a.SetCity(t);
                a.SetState(t);
                a.SetPostcode(t);
                a.SetCountry(t);
                (void)a.Address();
                (void)a.ValidateAddress(t, 31);
            });
        }
    }
}

} // namespace
