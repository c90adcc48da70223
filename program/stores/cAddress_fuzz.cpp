// Any text as an address typed into an address box or read from the store
// tables, with AutoCorrect off and on: parsing it into the five fields, the
// field setters, composing the text again and parsing that never fail;
// ValidateAddress reports exactly the requested fields the parse fills and
// leaves the object as it was.
//
// The first byte is the mode: bit 0 AutoCorrect, bits 1-5 the fields asked
// of ValidateAddress.

#include "program/stores/cAddress.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

std::array<std::string, 6> state(const cAddress& a)
{
    return {a.Street(), a.City(), a.State(), a.Postcode(), a.Country(), a.Address()};
}

int filled(const cAddress& a)
{
    return (a.Street().empty() ? 0 : cAddress::kStreet) | (a.City().empty() ? 0 : cAddress::kCity) |
           (a.State().empty() ? 0 : cAddress::kState) | (a.Postcode().empty() ? 0 : cAddress::kPostcode) |
           (a.Country().empty() ? 0 : cAddress::kCountry);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const bool autoCorrect = data[0] & 1;
    const int asked = (data[0] >> 1) & 31;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

    cAddress address;
    address.SetAutoCorrect(autoCorrect);
    address.SetAddress(text);
    const auto parsed = state(address);

    // The parse ValidateAddress makes is the one SetAddress makes of the
    // text with its blanks collapsed.
    const std::string collapsed = mCommon::CollapseBlanks(text);
    const int16_t valid = address.ValidateAddress(collapsed, asked);
    if (state(address) != parsed)
        std::abort();
    if (!collapsed.empty() && valid != (filled(address) & asked))
        std::abort();
    address.ValidateAddress(text, 31);
    if (state(address) != parsed)
        std::abort();

    // The composed text is what the address box shows and gives back.
    cAddress again;
    again.SetAutoCorrect(autoCorrect);
    again.SetAddress(address.Address());
    again.Address();

    // Each field typed into its own box.
    cAddress fields;
    fields.SetAutoCorrect(autoCorrect);
    fields.SetStreet(text);
    fields.SetCity(text);
    fields.SetState(text);
    fields.SetPostcode(text);
    fields.SetCountry(text);
    again.SetAddress(fields.Address());
    return 0;
}
