#pragma once
// The runtime's one error type: a VB error number with its text. Handlers in
// the program catch it where the original code had an error trap.

#include <functional>
#include <stdexcept>
#include <string>

namespace vb {

// The error numbers the program raises or tests for.
enum ErrorNumber : int {
    kErrInvalidCall = 5,
    kErrOverflow = 6,
    kErrOutOfMemory = 7,
    kErrSubscript = 9,
    kErrDivisionByZero = 11,
    kErrTypeMismatch = 13,
    kErrBadFileName = 52,
    kErrFileNotFound = 53,
    kErrBadFileMode = 54,
    kErrFileAlreadyOpen = 55,
    kErrDeviceIO = 57,
    kErrFileExists = 58,
    kErrInputPastEnd = 62,
    kErrPermissionDenied = 70,
    kErrPathFileAccess = 75,
    kErrPathNotFound = 76,
    kErrObjectNotSet = 91,
    kErrInvalidUseOfNull = 94,
    kErrInvalidProperty = 380,
    kErrObjectRequired = 424,
    kErrNoCurrentRecord = 3021,
    kErrObjectClosed = 3704,
};

// The runtime's standard text of an error number ("Application-defined or
// object-defined error" for numbers it does not know).
std::string ErrorText(int number);

class RuntimeError : public std::runtime_error {
public:
    explicit RuntimeError(int number);
    RuntimeError(int number, const std::string& description);

    int Number() const noexcept { return number_; }
    const std::string& Description() const noexcept { return description_; }

private:
    int number_;
    std::string description_;
};

// Err.Raise: throws RuntimeError with the number and, when empty, its standard text.
[[noreturn]] void Raise(int number, const std::string& description = {});

// "On Error Resume Next": each statement runs under its own trap; a failing one
// is skipped and its error kept, as Err.Number would keep it.
class ResumeNext {
public:
    template <class F>
    void operator()(F&& statement)
    {
        try {
            std::forward<F>(statement)();
        } catch (const RuntimeError& e) {
            number_ = e.Number();
            description_ = e.Description();
        } catch (const std::exception& e) {
            number_ = kErrInvalidCall;
            description_ = e.what();
        }
    }

    int Number() const noexcept { return number_; }
    const std::string& Description() const noexcept { return description_; }
    void Clear() noexcept
    {
        number_ = 0;
        description_.clear();
    }

private:
    int number_ = 0;
    std::string description_;
};

// The last resort of the event loop: an error that no handler caught. The
// forms runtime installs a handler that shows the runtime's message; without
// one the text goes to standard error.
using UnhandledErrorHandler = std::function<void(const RuntimeError&)>;
void SetUnhandledErrorHandler(UnhandledErrorHandler handler);
void ReportUnhandledError(const RuntimeError& error);

} // namespace vb
