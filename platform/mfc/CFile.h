#pragma once
// A binary file with the class framework's open flags and error reporting.
// Failures raise CFileException (or, from Open, fill the one given).
//
// A file opened with modeCreate (and without modeNoTruncate) is written to a
// temporary file in the same folder that replaces the target on Close: a
// crash or an error leaves the old file or the new one, never a part. The
// share flags have no meaning here and are accepted and ignored.

#include "platform/mfc/CException.h"
#include "platform/mfc/WinTypes.h"

#include <string>

class CFile {
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
        typeBinary = 0x8000,
    };
    enum SeekPosition : UINT { begin = 0, current = 1, end = 2 };

    CFile();
    // Opens or throws CFileException.
    CFile(LPCTSTR lpszFileName, UINT nOpenFlags);
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;
    // Closes an open file; a file being created is committed unless an
    // exception is unwinding, in which case the target is left as it was.
    virtual ~CFile();

    virtual BOOL Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr);
    // Bytes actually read; fewer than asked at the end of the file.
    virtual UINT Read(void* lpBuf, UINT nCount);
    virtual void Write(const void* lpBuf, UINT nCount);
    virtual LONG Seek(LONG lOff, UINT nFrom);
    void SeekToBegin() { Seek(0, begin); }
    DWORD SeekToEnd() { return DWORD(Seek(0, end)); }
    virtual DWORD GetLength() const;
    virtual DWORD GetPosition() const;
    virtual void Flush();
    virtual void Close();
    // Closes without reporting errors; a file being created is dropped.
    virtual void Abort();

    CString GetFilePath() const { return path_; }
    bool IsOpen() const { return fd_ >= 0; }

private:
    [[noreturn]] void throwErrno(int error) const;
    void release(bool commit);

    int fd_ = -1;
    CString path_;
    std::string tempPath_;
    int uncaught_ = 0;
};
