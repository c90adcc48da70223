#include "platform/mfc/COleStreamFile.h"

#include <limits>

COleStreamFile::COleStreamFile(IStream* stream) : stream_(stream)
{
    if (stream_)
        stream_->AddRef();
}

COleStreamFile::~COleStreamFile()
{
    Abort();
}

BOOL COleStreamFile::Open(LPCTSTR, UINT, CFileException*)
{
    return stream_ ? TRUE : FALSE;
}

UINT COleStreamFile::Read(void* lpBuf, UINT nCount)
{
    if (!stream_)
        AfxThrowFileException(CFileException::fileNotFound);
    ULONG got = 0;
    if (FAILED(stream_->Read(lpBuf, nCount, &got)))
        AfxThrowFileException(CFileException::generic);
    return got;
}

void COleStreamFile::Write(const void* lpBuf, UINT nCount)
{
    if (!stream_)
        AfxThrowFileException(CFileException::fileNotFound);
    ULONG written = 0;
    if (FAILED(stream_->Write(lpBuf, nCount, &written)) || written != nCount)
        AfxThrowFileException(CFileException::diskFull);
}

LONG COleStreamFile::Seek(LONG lOff, UINT nFrom)
{
    if (!stream_)
        AfxThrowFileException(CFileException::fileNotFound);
    std::uint64_t position = 0;
    if (FAILED(stream_->Seek(lOff, nFrom, &position)) || position > std::uint64_t(std::numeric_limits<LONG>::max()))
        AfxThrowFileException(CFileException::badSeek);
    return LONG(position);
}

DWORD COleStreamFile::GetLength() const
{
    STATSTG stat{};
    if (!stream_ || FAILED(stream_->Stat(&stat, STATFLAG_NONAME)))
        return 0;
    return DWORD(std::min<std::uint64_t>(stat.cbSize, std::numeric_limits<DWORD>::max()));
}

DWORD COleStreamFile::GetPosition() const
{
    std::uint64_t position = 0;
    if (!stream_ || FAILED(stream_->Seek(0, STREAM_SEEK_CUR, &position)))
        return 0;
    return DWORD(std::min<std::uint64_t>(position, std::numeric_limits<DWORD>::max()));
}

void COleStreamFile::Flush() {}

void COleStreamFile::Close()
{
    Abort();
}

void COleStreamFile::Abort()
{
    if (stream_) {
        stream_->Release();
        stream_ = nullptr;
    }
}
