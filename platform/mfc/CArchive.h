#pragma once
// A buffered, one-way stream over a CFile in the framework's byte layout:
// little-endian, WORD 2 bytes, LONG and DWORD 4, double 8, no padding.
// Strings are stored as a length (one byte below 255; else 0xFF and a WORD
// below 0xFFFE; else 0xFF, 0xFFFF and a DWORD) followed by the Windows-1252
// bytes, no terminator. The WORD 0xFFFE marks a wide string, which this
// library never wrote; reading one raises badSchema.
//
// Loading a value past the end of the data raises CArchiveException
// (endOfFile); Read returns the count it got, so callers can spot a short
// read themselves. A storing archive writes to its file on Flush and Close;
// destroying it without either drops what is still buffered.

#include "platform/mfc/CException.h"
#include "platform/mfc/CFile.h"
#include "platform/mfc/WinTypes.h"

#include <vector>

class CArchive {
public:
    enum Mode : UINT { store = 0, load = 1 };

    CArchive(CFile* pFile, UINT nMode, int nBufSize = 4096);
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;
    ~CArchive();

    BOOL IsLoading() const { return loading_ ? TRUE : FALSE; }
    BOOL IsStoring() const { return loading_ ? FALSE : TRUE; }
    CFile* GetFile() const { return file_; }

    UINT Read(void* lpBuf, UINT nMax);
    void Write(const void* lpBuf, UINT nMax);
    // Storing: writes the buffer to the file. Loading: puts the file back at
    // the position of the next unread byte.
    void Flush();
    void Close();
    // Detaches from the file without writing what is buffered.
    void Abort();

    CArchive& operator<<(BYTE by);
    CArchive& operator<<(WORD w);
    CArchive& operator<<(short s) { return *this << WORD(s); }
    CArchive& operator<<(LONG l);
    CArchive& operator<<(DWORD dw);
    CArchive& operator<<(float f);
    CArchive& operator<<(double d);
    CArchive& operator<<(const CString& s);

    CArchive& operator>>(BYTE& by);
    CArchive& operator>>(WORD& w);
    CArchive& operator>>(short& s);
    CArchive& operator>>(LONG& l);
    CArchive& operator>>(DWORD& dw);
    CArchive& operator>>(float& f);
    CArchive& operator>>(double& d);
    CArchive& operator>>(CString& s);

    // The string form alone, for callers that keep the code page's bytes.
    void WriteStringBytes(const std::string& bytes);
    std::string ReadStringBytes();

private:
    void requireLoading() const;
    void requireStoring() const;
    // Makes n bytes readable in the buffer or raises endOfFile.
    void fill(UINT n);
    void put(const void* p, UINT n);
    void get(void* p, UINT n);

    CFile* file_;
    bool loading_;
    std::vector<BYTE> buffer_;
    UINT cur_ = 0;   // next byte to read or write
    UINT end_ = 0;   // loading: end of the valid bytes
};
