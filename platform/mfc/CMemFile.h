#pragma once
// A file in memory. It owns a buffer that grows in steps of nGrowBytes, or
// is attached to a caller's buffer without taking it over (then it cannot
// grow, unless a growth step is given, in which case growing copies the
// bytes into an owned buffer). Growth beyond the memory available raises
// CMemoryException.

#include "platform/mfc/CFile.h"

#include <vector>

class CMemFile : public CFile {
public:
    explicit CMemFile(UINT nGrowBytes = 1024);
    CMemFile(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes = 0);
    ~CMemFile() override;

    // Works on the caller's bytes; the first nBufferSize bytes are the file.
    void Attach(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes = 0);
    // Ends the file. An owned buffer is handed to the caller, cut to the file
    // length; an attached buffer stays the caller's and nothing is returned.
    std::vector<BYTE> Detach();

    BOOL Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr) override;
    UINT Read(void* lpBuf, UINT nCount) override;
    void Write(const void* lpBuf, UINT nCount) override;
    LONG Seek(LONG lOff, UINT nFrom) override;
    DWORD GetLength() const override;
    DWORD GetPosition() const override;
    void Flush() override;
    void Close() override;
    void Abort() override;

    // The file's bytes (the first GetLength() of them), for callers that
    // copy them out without detaching.
    const BYTE* GetBuffer() const { return data(); }

private:
    BYTE* data() const;
    void growTo(DWORD size);

    std::vector<BYTE> owned_;
    BYTE* external_ = nullptr;
    DWORD bufferSize_ = 0;
    DWORD fileSize_ = 0;
    DWORD position_ = 0;
    UINT growBytes_ = 1024;
};
