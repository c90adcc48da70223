#include "buttonlib/media/CImageSink.h"

#include <new>

int CImageSink::WriteNBytes(int n, const BYTE* data)
{
    if (n < 0 || std::size_t(n) > capacity_ - data_.size())
        throw CTextException(kErrEndOfData, "Buffer overflow while encoding.\n");
    try {
        data_.insert(data_.end(), data, data + n);
    } catch (const std::bad_alloc&) {
        throw CTextException(kErrEndOfData, "Buffer overflow while encoding.\n");
    }
    return n;
}

void CImageSink::Close()
{
    data_.clear();
    data_.shrink_to_fit();
}

CFileImageSink::~CFileImageSink()
{
    // Not closed: the encode failed; nothing replaces the target.
    file_.Abort();
}

int CFileImageSink::Open(const char* path, std::size_t capacity)
{
    if (!path || !file_.Open(path, CFile::modeCreate | CFile::modeWrite))
        return kErrOpenSink;
    name_ = path;
    capacity_ = capacity;
    data_.clear();
    return 0;
}

void CFileImageSink::Close()
{
    if (!file_.IsOpen())
        return;
    try {
        file_.Write(data_.data(), UINT(data_.size()));
        file_.Close();
    } catch (const CFileException&) {
        file_.Abort();
        CImageSink::Close();
        RaiseError(kErrOpenSink, "Writing %s failed", name_.c_str());
    }
    CImageSink::Close();
}
