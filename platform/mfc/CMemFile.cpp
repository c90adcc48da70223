#include "platform/mfc/CMemFile.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>

CMemFile::CMemFile(UINT nGrowBytes)
    : growBytes_(nGrowBytes)
{
}

CMemFile::CMemFile(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes)
{
    Attach(lpBuffer, nBufferSize, nGrowBytes);
}

CMemFile::~CMemFile() = default;

void CMemFile::Attach(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes)
{
    owned_.clear();
    external_ = lpBuffer;
    bufferSize_ = lpBuffer ? nBufferSize : 0;
    fileSize_ = bufferSize_;
    position_ = 0;
    growBytes_ = nGrowBytes;
}

std::vector<BYTE> CMemFile::Detach()
{
    std::vector<BYTE> out;
    if (!external_) {
        owned_.resize(fileSize_);
        out.swap(owned_);
    }
    owned_.clear();
    external_ = nullptr;
    bufferSize_ = fileSize_ = position_ = 0;
    return out;
}

BOOL CMemFile::Open(LPCTSTR, UINT, CFileException* pError)
{
    // A memory file has no name to open.
    if (pError)
        pError->m_cause = CFileException::generic;
    return FALSE;
}

BYTE* CMemFile::data() const
{
    return external_ ? external_ : const_cast<BYTE*>(owned_.data());
}

void CMemFile::growTo(DWORD size)
{
    if (size <= bufferSize_)
        return;
    if (growBytes_ == 0)
        AfxThrowMemoryException();
    const unsigned long long steps = (static_cast<unsigned long long>(size) + growBytes_ - 1) / growBytes_;
    const unsigned long long newSize = steps * growBytes_;
    if (newSize > 0xFFFFFFFFull)
        AfxThrowMemoryException();
    try {
        if (external_) {
            // The caller's buffer cannot grow: continue in an owned copy.
            std::vector<BYTE> copy(newSize);
            std::memcpy(copy.data(), external_, fileSize_);
            owned_.swap(copy);
            external_ = nullptr;
        } else {
            owned_.resize(newSize);
        }
    } catch (const std::bad_alloc&) {
        AfxThrowMemoryException();
    } catch (const std::length_error&) {
        AfxThrowMemoryException();
    }
    bufferSize_ = DWORD(newSize);
}

UINT CMemFile::Read(void* lpBuf, UINT nCount)
{
    if (position_ >= fileSize_)
        return 0;
    const UINT n = std::min<DWORD>(nCount, fileSize_ - position_);
    std::memcpy(lpBuf, data() + position_, n);
    position_ += n;
    return n;
}

void CMemFile::Write(const void* lpBuf, UINT nCount)
{
    if (nCount == 0)
        return;
    const unsigned long long end = static_cast<unsigned long long>(position_) + nCount;
    if (end > 0xFFFFFFFFull)
        AfxThrowMemoryException();
    growTo(DWORD(end));
    if (position_ > fileSize_)
        std::memset(data() + fileSize_, 0, position_ - fileSize_);
    std::memcpy(data() + position_, lpBuf, nCount);
    position_ = DWORD(end);
    fileSize_ = std::max(fileSize_, position_);
}

LONG CMemFile::Seek(LONG lOff, UINT nFrom)
{
    long long base = nFrom == current ? position_ : nFrom == end ? fileSize_ : 0;
    const long long pos = base + lOff;
    if (pos < 0 || pos > 0x7FFFFFFFll)
        AfxThrowFileException(CFileException::badSeek);
    position_ = DWORD(pos);
    return LONG(pos);
}

DWORD CMemFile::GetLength() const
{
    return fileSize_;
}

DWORD CMemFile::GetPosition() const
{
    return position_;
}

void CMemFile::Flush()
{
}

void CMemFile::Close()
{
    // Closing frees an owned buffer; an attached one stays the caller's.
    owned_.clear();
    owned_.shrink_to_fit();
    external_ = nullptr;
    bufferSize_ = fileSize_ = position_ = 0;
}

void CMemFile::Abort()
{
    Close();
}
