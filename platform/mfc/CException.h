#pragma once
// The class framework's exceptions, thrown by value and caught by reference.
// Memory shortage, archive format errors and file errors each have their own
// type under one base, so a caller can catch the family or one kind.

#include "platform/mfc/WinTypes.h"

#include <exception>
#include <string>

class CException : public std::exception {
public:
    const char* what() const noexcept override { return "CException"; }
};

class CMemoryException : public CException {
public:
    const char* what() const noexcept override { return "Out of memory."; }
};

class CArchiveException : public CException {
public:
    enum {
        none,
        generic,
        readOnly,
        endOfFile,
        writeOnly,
        badIndex,
        badClass,
        badSchema,
    };

    explicit CArchiveException(int cause = none, const CString& fileName = {});
    const char* what() const noexcept override;

    int m_cause;
    CString m_strFileName;
};

class CFileException : public CException {
public:
    enum {
        none,
        generic,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile,
    };

    explicit CFileException(int cause = none, LONG osError = -1, const CString& fileName = {});
    const char* what() const noexcept override;

    // The cause for an errno value of the system.
    static int OsErrorToException(int error);

    int m_cause;
    LONG m_lOsError;
    CString m_strFileName;

private:
    std::string text_;
};

[[noreturn]] void AfxThrowMemoryException();
[[noreturn]] void AfxThrowArchiveException(int cause, const CString& fileName = {});
[[noreturn]] void AfxThrowFileException(int cause, LONG osError = -1, const CString& fileName = {});
