// Text from a caller converted to every automation type, with and without
// the boolean-as-word flag, then back to text: no conversion may crash,
// leak, or succeed with a value of another type.

#include "platform/com/Variant.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const com::ComVariant source = com::ComVariant::Text(text);
    for (VARTYPE vt : {VT_EMPTY, VT_I2, VT_I4, VT_I8, VT_R8, VT_BOOL, VT_BSTR, VT_DISPATCH, VT_UNKNOWN}) {
        for (WORD flags : {WORD(0), VARIANT_ALPHABOOL}) {
            com::ComVariant converted;
            const HRESULT hr = VariantChangeType(&converted, &source, flags, vt);
            if (FAILED(hr)) {
                if (converted.vt != VT_EMPTY)
                    std::abort();
                continue;
            }
            if (converted.vt != vt)
                std::abort();
            com::ComVariant back;
            if (FAILED(VariantChangeType(&back, &converted, flags, VT_BSTR)) && vt != VT_DISPATCH &&
                vt != VT_UNKNOWN)
                std::abort();
        }
    }
    return 0;
}
