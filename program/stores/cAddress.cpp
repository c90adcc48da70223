#include "program/stores/cAddress.h"

#include "platform/basic/Strings.h"

#include <array>
#include <vector>

namespace {

constexpr std::string_view kCrLf = "\r\n";

// Numbered 1 to 245; the country box and country detection use this order.
constexpr std::array<std::string_view, cAddress::kCountryCount> kCountries = {
    "Afghanistan", "Albania", "Algeria", "American Samoa", "Andorra", "Angola", "Anguilla",
    "Antigua and Barbuda", "Argentina", "Armenia", "Ashmore and Cartier Islands", "Australia",
    "Austria", "Azerbaijan", "Bahamas", "Bahrain", "Baker Island", "Bangladesh", "Barbados",
    "Belarus", "Belgium", "Belize", "Benin", "Bermuda", "Bhutan", "Bolivia", "Bosnia -Herzegovina",
    "Botswana", "Bouvet Island", "Brazil", "British Indian Ocean Territory", "Brunei Darussalam",
    "Bulgaria", "Burkina Faso", "Burundi", "Cambodia", "Cameroon", "Canada", "Cape Verde",
    "Cayman Islands", "Central African Republic", "Chad", "Chile", "China", "Christmas Island",
    "Cocos (Keeling) Islands", "Colombia", "Comoros", "Congo", "Cook Islands", "Coral Sea Islands",
    "Costa Rica", "Cote d 'Ivoire", "Croatia", "Cuba", "Cyprus", "Czech Republic", "Denmark",
    "Djibouti", "Dominica", "Dominican Republic", "Ecuador", "Egypt", "El Salvador",
    "Equatorial Guinea", "Eritrea", "Estonia", "Ethiopia", "F.Y.R.O.Macedonia", "Faeroe Islands",
    "Fiji Islands", "Finland", "France", "French Guiana", "French Polynesia",
    "French Southern and Antarctic Lands", "Gabon", "Gambia", "Georgia", "Germany", "Ghana",
    "Greece", "Greenland", "Grenada", "Guadeloupe", "Guam", "Guatemala", "Guernsey", "Guinea",
    "Guinea -Bissau", "Guyana", "Haiti", "Heard Island and McDonald Islands", "Honduras",
    "Hong Kong", "Howland Island", "Hungary", "Iceland", "India", "Indonesia", "Iran", "Iraq",
    "Ireland", "Israel", "Italy", "Jamaica", "Jan Mayen", "Japan", "Jarvis Island", "Jersey",
    "Johnston Atoll", "Jordan", "Kazakhstan", "Kenya", "Kingman Reef", "Kiribati", "Kuwait",
    "Kyrgyzstan", "Laos", "Latvia", "Lebanon", "Lesotho", "Liberia", "Libya", "Liechtenstein",
    "Lithuania", "Luxembourg", "Macau", "Madagascar", "Malawi", "Malaysia", "Maldives", "Mali",
    "Malta", "Man (Isle of)", "Marshall Islands", "Martinique", "Mauritania", "Mauritius",
    "Mexico", "Micronesia (Federated States of)", "Midway Islands", "Moldova", "Monaco",
    "Mongolia", "Montserrat", "Morocco", "Mozambique", "Myanmar", "Namibia", "Nauru",
    "Navassa Island", "Nepal", "Netherlands", "Netherlands Antilles", "New Caledonia",
    "New Zealand", "Nicaragua", "Niger", "Nigeria", "Niue", "Norfolk Island", "North Korea",
    "Northern Mariana Islands", "Norway", "Oman", "Pakistan", "Palau", "Palmyra Atoll", "Panama",
    "Papua New Guinea", "Paraguay", "Peru", "Philippines", "Pitcairn Island", "Poland", "Portugal",
    "Puerto Rico", "Qatar", "Réunion", "Romania", "Russia", "Rwanda", "Saint Helena",
    "Saint Pierre And Miquelon", "Samoa", "San Marino", "Sao Tome And Principe", "Saudi Arabia",
    "Senegal", "Seychelles", "Sierra Leone", "Singapore", "Slovak Republic", "Slovenia",
    "Solomon Islands", "Somalia", "South Africa", "South Georgia and the South Sandwich Islands",
    "South Korea", "Spain", "Sri Lanka", "St. Kitts and Nevis", "St.Lucia",
    "St. Vincent and the Grenadines", "Sudan", "Surinam", "Svalbard", "Swaziland", "Sweden",
    "Switzerland", "Syria", "Taiwan", "Tajikistan", "Tanzania", "Thailand", "Togo", "Tokelau",
    "Tonga", "Trinidad and Tobago", "Tunisia", "Turkey", "Turkmenistan",
    "Turks and Caicos Islands", "Tuvalu", "Uganda", "Ukraine", "United Arab Emirates",
    "United Kingdom", "United States of America", "USA", "Uruguay", "Uzbekistan", "Vanuatu",
    "Vatican City", "Venezuela", "Vietnam", "Virgin Islands(British)", "Virgin Islands (U.S.)",
    "Wake Island", "Wallis and Futuna", "Yemen", "Yugoslavia", "Zambia", "Zimbabwe",
};

constexpr std::array<std::string_view, cAddress::kStateCodeCount> kStateCodes = {
    "AL", "AK", "AZ", "AR", "CA", "CO", "CT", "DC", "DE", "FL", "GA", "HI", "ID", "IL", "IN", "IA", "KS", "KY", "LA", "ME", "MD", "MA", "MI", "MN", "MS", "MO",
    "MT", "NE", "NV", "NH", "NJ", "NM", "NY", "NC", "ND", "OH", "OK", "OR", "PA", "RI", "SC", "SD", "TN", "TX", "UT", "VT", "VA", "WA", "WV", "WI", "WY",
};

// One character mapped to upper or lower case. A character whose mapping is
// not a single character (a German sharp s, a dotted capital I) stays as it
// is, so that positions in a word and in its upper-case copy stay aligned.
char32_t mapChar(char32_t c, bool upper)
{
    if (c < 0x80) {
        if (upper && c >= 'a' && c <= 'z')
            return c - 32;
        if (!upper && c >= 'A' && c <= 'Z')
            return c + 32;
        return c;
    }
    std::string one;
    vb::AppendUtf8(one, c);
    const std::u32string mapped = vb::ToUtf32(upper ? vb::UCase(one) : vb::LCase(one));
    return mapped.size() == 1 ? mapped[0] : c;
}

std::u32string upperCopy(std::u32string s)
{
    for (auto& c : s)
        c = mapChar(c, true);
    return s;
}

std::u32string upperCopy(std::string_view s)
{
    return upperCopy(vb::ToUtf32(s));
}

std::string stripTrailingComma(std::string_view s)
{
    if (!s.empty() && s.back() == ',')
        s.remove_suffix(1);
    return std::string(s);
}

// 1-based list number of the country the text names, compared without case;
// 0 when it names none.
int countryNumber(std::string_view text)
{
    // Every address parsed asks this of its last line: the names are
    // upper-cased once.
    static const std::vector<std::u32string> names = [] {
        std::vector<std::u32string> upper;
        for (std::string_view name : kCountries)
            upper.push_back(upperCopy(name));
        return upper;
    }();
    const std::u32string key = upperCopy(text);
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i] == key)
            return static_cast<int>(i) + 1;
    return 0;
}

// First position (0-based) of needle in hay at or after from; npos when absent.
size_t findFrom(const std::u32string& hay, std::u32string_view needle, size_t from)
{
    return from > hay.size() ? std::u32string::npos : hay.find(needle, from);
}

// Capital first letter, the rest lower case; a capital after the first hyphen
// and after an apostrophe that is not at the end; Mc and Mac capitalised with
// the letter after them. A two-letter US state code is upper-cased whole.
std::string properCaseWord(std::string_view word)
{
    const std::u32string w = vb::ToUtf32(word);
    const size_t n = w.size();
    const std::u32string upper = upperCopy(w);
    if (n == 2) {
        for (std::string_view code : kStateCodes)
            if (vb::ToUtf32(code) == upper)
                return std::string(code);
    }
    if (n == 0)
        return {};

    // Positions below are 0-based: the character at 1-based position p is r[p - 1].
    std::u32string r = w;
    r[0] = mapChar(r[0], true);
    for (size_t i = 1; i < n; ++i)
        r[i] = mapChar(r[i], false);

    const size_t hyphen = w.find(U'-');
    if (hyphen != std::u32string::npos && hyphen + 1 < n)
        r[hyphen + 1] = mapChar(r[hyphen + 1], true);

    for (size_t b = w.find(U'\''); b != std::u32string::npos; b = findFrom(w, U"'", b + 1)) {
        if (b + 2 < n)
            r[b + 1] = mapChar(r[b + 1], true);
    }
    for (size_t c = upper.find(U"MC"); c != std::u32string::npos; c = findFrom(upper, U"MC", c + 1)) {
        if (c + 2 < n) {
            r[c] = mapChar(r[c], true);
            r[c + 2] = mapChar(r[c + 2], true);
        }
    }
    for (size_t d = upper.find(U"MAC"); d != std::u32string::npos; d = findFrom(upper, U"MAC", d + 1)) {
        if (d + 3 < n) {
            r[d] = mapChar(r[d], true);
            r[d + 3] = mapChar(r[d + 3], true);
        }
    }
    return vb::ToUtf8(r);
}

// Every blank-separated piece proper-cased. A line break is no separator, so
// the first word of a following line goes with the last word before it.
std::string properCaseLine(std::string_view text)
{
    std::vector<std::string> words = vb::Split(text, " ");
    for (auto& w : words)
        w = properCaseWord(w);
    return vb::Trim(vb::Join(words, " "));
}

std::vector<std::string> splitLines(std::string_view text)
{
    return vb::Split(text, kCrLf);
}

} // namespace

namespace mCommon {

std::string CollapseBlanks(std::string_view text)
{
    std::string s = vb::Trim(text);
    while (s.find("  ") != std::string::npos)
        s = vb::Replace(s, "  ", " ");
    return s;
}

} // namespace mCommon

std::span<const std::string_view, cAddress::kCountryCount> cAddress::Countries()
{
    return kCountries;
}

std::span<const std::string_view, cAddress::kStateCodeCount> cAddress::StateCodes()
{
    return kStateCodes;
}

std::string cAddress::Address() const
{
    std::string part;
    if (!street_.empty())
        part.append(street_).append(kCrLf);
    if (!city_.empty())
        part.append(city_).append(", ");
    if (!state_.empty())
        part.append(state_).append(" ");
    part.append(postcode_);
    part = vb::Trim(part);

    std::string result = part;
    if (!part.empty())
        result.append(kCrLf);
    result.append(country_);
    return vb::Trim(result);
}

void cAddress::SetAddress(std::string_view text)
{
    addressText_ = mCommon::CollapseBlanks(text);
    if (!addressText_.empty())
        parseAddress();
}

void cAddress::Clear()
{
    SetAddress("");
    SetStreet("");
    SetCity("");
    SetState("");
    SetPostcode("");
    SetCountry("");
}

void cAddress::SetStreet(std::string_view text)
{
    std::vector<std::string> lines = splitLines(mCommon::CollapseBlanks(text));
    // Each line is proper-cased on its own: taken as one line, the first word
    // of every later line would join the word before it and be lower-cased, so
    // a stored "Suite 5" would turn into "suite 5" each time a store is shown.
    for (auto& line : lines) {
        line = stripTrailingComma(line);
        if (autoCorrect_)
            line = properCaseLine(line);
    }
    street_ = vb::Trim(vb::Join(lines, kCrLf));
}

void cAddress::SetCity(std::string_view text)
{
    city_ = stripTrailingComma(mCommon::CollapseBlanks(text));
    if (autoCorrect_)
        city_ = properCaseLine(city_);
}

void cAddress::SetState(std::string_view text)
{
    state_ = stripTrailingComma(mCommon::CollapseBlanks(text));
    if (autoCorrect_)
        state_ = properCaseLine(state_);
}

void cAddress::SetPostcode(std::string_view text)
{
    postcode_ = stripTrailingComma(mCommon::CollapseBlanks(text));
    if (autoCorrect_)
        postcode_ = properCaseWord(postcode_);
}

void cAddress::SetCountry(std::string_view text)
{
    const int number = countryNumber(text);
    country_ = (number > 0 && autoCorrect_) ? std::string(kCountries[static_cast<size_t>(number - 1)])
                                            : std::string(text);
}

int16_t cAddress::ValidateAddress(std::string_view text, int fields)
{
    if (text.empty())
        return 0;
    const cAddress kept = *this;
    addressText_ = std::string(text);
    parseAddress();
    int sum = 0;
    auto count = [&](int bit, const std::string& field) {
        if ((fields & bit) && !field.empty())
            sum += bit;
    };
    count(kStreet, street_);
    count(kCity, city_);
    count(kState, state_);
    count(kPostcode, postcode_);
    count(kCountry, country_);
    *this = kept;
    return static_cast<int16_t>(sum);
}

void cAddress::parseAddress()
{
    street_.clear();
    city_.clear();
    state_.clear();
    postcode_.clear();
    country_.clear();

    std::vector<std::string> lines;
    for (auto& line : splitLines(addressText_))
        if (!line.empty())
            lines.push_back(std::move(line));
    if (lines.empty())
        return;

    // A last line naming a listed country is the country, even when it is the only line.
    const int number = countryNumber(lines.back());
    if (number > 0) {
        country_ = autoCorrect_ ? std::string(kCountries[static_cast<size_t>(number - 1)]) : lines.back();
        lines.pop_back();
    }

    if (autoCorrect_)
        for (auto& line : lines)
            line = properCaseLine(stripTrailingComma(line));

    if (lines.empty())
        return;
    const std::string cityLine = std::move(lines.back());
    lines.pop_back();
    street_ = vb::Trim(vb::Join(lines, kCrLf));
    parseCityLine(cityLine);
}

// City, comma, State, Postcode: the words up to the first one holding a comma
// are the city; of the words after it the last is the postcode and the others
// the state.
void cAddress::parseCityLine(std::string_view line)
{
    // A blank at the end of the line would make an empty last word and push the
    // postcode into the state.
    std::vector<std::string> words = vb::Split(vb::Trim(line), " ");
    bool commaSeen = false;
    size_t cityWords = 0;
    std::string city;
    for (auto& word : words) {
        if (autoCorrect_)
            word = properCaseWord(word);
        if (word.find(',') != std::string::npos) {
            // The comma need not be last: whatever the last character is goes.
            word = vb::Left(word, vb::Len(word) - 1);
            if (!commaSeen) {
                city.append(" ").append(word);
                ++cityWords;
                commaSeen = true;
            }
        } else if (!commaSeen) {
            city.append(" ").append(word);
            ++cityWords;
        }
    }
    city_ = vb::Trim(city);

    const size_t remaining = words.size() - cityWords;
    if (remaining >= 2) {
        postcode_ = words.back();
        std::vector<std::string> state(words.begin() + static_cast<long>(cityWords), words.end() - 1);
        state_ = vb::Join(state, " ");
    } else if (remaining == 1) {
        state_ = words.back();
    }
}
