#include "platform/ado/Ado.h"

namespace ado {

namespace {

std::string standardText(int number)
{
    switch (number) {
    case kErrInvalidArgument:
        return "Arguments are of the wrong type, are out of acceptable range, or are in conflict with one another.";
    case kErrCannotUpdate:
        return "Current Recordset does not support updating. This may be a limitation of the provider, or of "
               "the selected locktype.";
    case kErrItemNotFound:
        return "Item cannot be found in the collection corresponding to the requested name or ordinal.";
    case kErrObjectOpen: return "Operation is not allowed when the object is open.";
    case kErrConnectionInvalid:
        return "The connection cannot be used to perform this operation. It is either closed or invalid in "
               "this context.";
    case kErrParameters: return "No value given for one or more required parameters.";
    case kErrRowChanged:
        return "Row cannot be located for updating. Some values may have been changed since it was last read.";
    case kErrCommandText: return "Syntax error or access violation.";
    case kErrProvider: return "Unspecified error.";
    default: return vb::ErrorText(number);
    }
}

} // namespace

void RaiseError(int number, const std::string& detail)
{
    if (number == kErrProvider || number == kErrCommandText) {
        // SQLite's own text says more than the generic one.
        throw vb::RuntimeError(number, detail.empty() ? standardText(number) : detail);
    }
    throw vb::RuntimeError(number, detail.empty() ? standardText(number) : standardText(number) + " " + detail);
}

} // namespace ado
