#include "platform/basic/RuntimeError.h"

#include <cstdio>
#include <utility>

namespace vb {

std::string ErrorText(int number)
{
    switch (number) {
    case 3: return "Return without GoSub";
    case kErrInvalidCall: return "Invalid procedure call or argument";
    case kErrOverflow: return "Overflow";
    case kErrOutOfMemory: return "Out of memory";
    case kErrSubscript: return "Subscript out of range";
    case 10: return "This array is fixed or temporarily locked";
    case kErrDivisionByZero: return "Division by zero";
    case kErrTypeMismatch: return "Type mismatch";
    case 28: return "Out of stack space";
    case kErrBadFileName: return "Bad file name or number";
    case kErrFileNotFound: return "File not found";
    case kErrBadFileMode: return "Bad file mode";
    case kErrFileAlreadyOpen: return "File already open";
    case kErrDeviceIO: return "Device I/O error";
    case kErrFileExists: return "File already exists";
    case 61: return "Disk full";
    case kErrInputPastEnd: return "Input past end of file";
    case 68: return "Device unavailable";
    case kErrPermissionDenied: return "Permission denied";
    case 71: return "Disk not ready";
    case 74: return "Can't rename with different drive";
    case kErrPathFileAccess: return "Path/File access error";
    case kErrPathNotFound: return "Path not found";
    case kErrObjectNotSet: return "Object variable or With block variable not set";
    case kErrInvalidUseOfNull: return "Invalid use of Null";
    case kErrInvalidProperty: return "Invalid property value";
    case kErrObjectRequired: return "Object required";
    case kErrNoCurrentRecord:
        return "Either BOF or EOF is True, or the current record has been deleted. "
               "Requested operation requires a current record.";
    case kErrObjectClosed: return "Operation is not allowed when the object is closed.";
    default: return "Application-defined or object-defined error";
    }
}

RuntimeError::RuntimeError(int number)
    : RuntimeError(number, ErrorText(number))
{
}

RuntimeError::RuntimeError(int number, const std::string& description)
    : std::runtime_error(description.empty() ? ErrorText(number) : description)
    , number_(number)
    , description_(description.empty() ? ErrorText(number) : description)
{
}

void Raise(int number, const std::string& description)
{
    throw RuntimeError(number, description);
}

namespace {
UnhandledErrorHandler& unhandledHandler()
{
    static UnhandledErrorHandler handler;
    return handler;
}
} // namespace

void SetUnhandledErrorHandler(UnhandledErrorHandler handler)
{
    unhandledHandler() = std::move(handler);
}

void ReportUnhandledError(const RuntimeError& error)
{
    if (unhandledHandler()) {
        unhandledHandler()(error);
        return;
    }
    std::fprintf(stderr, "Run-time error '%d':\n\n%s\n", error.Number(), error.Description().c_str());
}

} // namespace vb
