#pragma once
// A file over a stream: what a CArchive reads a control's state from and
// writes it to. The stream stays its owner's; the file holds a reference.

#include "platform/com/Stream.h"
#include "platform/mfc/CFile.h"

class COleStreamFile : public CFile {
public:
    explicit COleStreamFile(IStream* stream);
    ~COleStreamFile() override;

    BOOL Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr) override;
    // A failed read raises CFileException; reading at the end reads nothing.
    UINT Read(void* lpBuf, UINT nCount) override;
    // A failed or short write raises CFileException.
    void Write(const void* lpBuf, UINT nCount) override;
    LONG Seek(LONG lOff, UINT nFrom) override;
    DWORD GetLength() const override;
    DWORD GetPosition() const override;
    void Flush() override;
    void Close() override;
    void Abort() override;

private:
    IStream* stream_;
};
