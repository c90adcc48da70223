#pragma once
// One postal address, both as the block of text the user types into an
// address box (lines separated by CR LF) and as the five fields the Stores and
// LandLord tables keep. Setting the text splits it into the fields; reading it
// composes the text from the fields. With AutoCorrect on, what it is given is
// tidied: proper-cased words, upper-case US state codes, no trailing commas and
// the list spelling of a country.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace mCommon {

// Removes blanks at both ends, then turns every run of blanks into one blank.
// Only the blank counts: tabs and line breaks are kept.
std::string CollapseBlanks(std::string_view text);

} // namespace mCommon

class cAddress {
public:
    // Field bits of ValidateAddress.
    enum FieldBits : int {
        kStreet = 1,
        kCity = 2,
        kState = 4,
        kPostcode = 8,
        kCountry = 16,
    };

    static constexpr int kCountryCount = 245;
    static constexpr int kStateCodeCount = 51;

    // The country names, list number n at index n - 1.
    static std::span<const std::string_view, kCountryCount> Countries();
    // The two-letter codes of the 50 US states and "DC".
    static std::span<const std::string_view, kStateCodeCount> StateCodes();

    // The composed text.
    std::string Address() const;
    // Collapses blanks and keeps the text; a text left empty leaves the fields
    // alone, any other is parsed into the five fields.
    void SetAddress(std::string_view text);
    // Empties the text and the five fields.
    void Clear();

    const std::string& Street() const { return street_; }
    void SetStreet(std::string_view text);
    const std::string& City() const { return city_; }
    void SetCity(std::string_view text);
    const std::string& State() const { return state_; }
    void SetState(std::string_view text);
    const std::string& Postcode() const { return postcode_; }
    void SetPostcode(std::string_view text);
    const std::string& Country() const { return country_; }
    void SetCountry(std::string_view text);

    bool AutoCorrect() const { return autoCorrect_; }
    void SetAutoCorrect(bool on) { autoCorrect_ = on; }

    // Clears the box; comboType 0 fills it with the country names, each with
    // its list number as ItemData. The first item, if any, is selected.
    // The box needs Clear(), AddItem(text), ListCount(), SetItemData(index,
    // value) and SetListIndex(index), with 0-based indexes.
    template <class ComboBox>
    void FillComboBox(ComboBox& combo, int comboType) const;

    // Which of the requested field bits the text would fill when parsed. The
    // object is left as it was; an empty text gives 0.
    int16_t ValidateAddress(std::string_view text, int fields);

private:
    void parseAddress();
    void parseCityLine(std::string_view line);

    std::string addressText_;
    std::string street_;
    std::string city_;
    std::string state_;
    std::string postcode_;
    std::string country_;
    bool autoCorrect_ = false;
};

template <class ComboBox>
void cAddress::FillComboBox(ComboBox& combo, int comboType) const
{
    combo.Clear();
    if (comboType == 0) {
        const auto names = Countries();
        for (int i = 0; i < kCountryCount; ++i) {
            combo.AddItem(std::string(names[static_cast<size_t>(i)]));
            combo.SetItemData(combo.ListCount() - 1, i + 1);
        }
    }
    if (combo.ListCount() > 0)
        combo.SetListIndex(0);
}
