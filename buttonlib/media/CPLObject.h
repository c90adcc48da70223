#pragma once
// The codec family's root class, its one exception and the error codes.
//
// Every codec failure is a CTextException thrown by value, with a code and a
// message. Failures raised through RaiseError read "Decoder error: " + text
// + "\n", for encoders as well.

#include "platform/mfc/WinTypes.h"

#include <string>

class CPLObject {
public:
    virtual ~CPLObject() = default;
    // An empty hook every codec class inherits.
    virtual void AssertValid() const {}
};

// Codec error codes.
enum CodecError : int {
    kErrOpenSink = -1,        // output file or buffer could not be opened
    kErrWrongSignature = 1,   // not a file of the expected format
    kErrFormatUnknown = 2,    // unsupported or malformed content; libpng decoding errors
    kErrPathNotFound = 3,
    kErrFileNotFound = 4,     // the file could not be opened
    kErrAccessDenied = 5,     // access denied, or the file could not be read as a whole
    kErrFormatNotSupported = 6, // format or feature not available; libjpeg errors; libpng encoding errors
    kErrBadPcx = 7,
    kErrUnknownFileType = 8,
    kErrNoMemory = 10,
    kErrEndOfData = 11,       // read past the end of the data, or sink full
};

class CTextException : public CPLObject {
public:
    CTextException(int code, const char* msg);
    CTextException(const CTextException& other);
    CTextException& operator=(const CTextException& other);

    virtual int GetCode() const;
    virtual const char* GetMsg() const;

private:
    int code_;
    std::string msg_;
};

// Throws CTextException(code, "Decoder error: " + formatted text + "\n").
[[noreturn]] void RaiseError(int code, const char* format, ...) __attribute__((format(printf, 2, 3)));
