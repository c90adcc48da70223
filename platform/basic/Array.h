#pragma once
// A dynamic array of the runtime: either never dimensioned (or erased), or
// holding bounds 0 to size - 1 (possibly 0 to -1, as Split of an empty text).

#include <optional>
#include <vector>

namespace vb {

template <class T>
using DynArray = std::optional<std::vector<T>>;

// UBound; raises 9 (subscript out of range) for an array without bounds.
template <class T>
long UBound(const DynArray<T>& a);

} // namespace vb

#include "platform/basic/RuntimeError.h"

namespace vb {

template <class T>
long UBound(const DynArray<T>& a)
{
    if (!a)
        Raise(kErrSubscript);
    return static_cast<long>(a->size()) - 1;
}

} // namespace vb
