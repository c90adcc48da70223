#include "platform/mfc/CArchive.h"

#include "platform/basic/Strings.h"

#include <algorithm>
#include <cstring>

namespace {

// Strings are read in pieces, so that a length taken from damaged data costs
// no more memory than the data that is really there.
constexpr UINT kStringChunk = 64 * 1024;

} // namespace

CArchive::CArchive(CFile* pFile, UINT nMode, int nBufSize)
    : file_(pFile), loading_((nMode & load) != 0)
{
    buffer_.resize(std::max(nBufSize, 128));
}

CArchive::~CArchive()
{
    Abort();
}

void CArchive::requireLoading() const
{
    if (!file_)
        AfxThrowArchiveException(CArchiveException::generic);
    if (!loading_)
        AfxThrowArchiveException(CArchiveException::writeOnly);
}

void CArchive::requireStoring() const
{
    if (!file_)
        AfxThrowArchiveException(CArchiveException::generic);
    if (loading_)
        AfxThrowArchiveException(CArchiveException::readOnly);
}

void CArchive::fill(UINT n)
{
    if (end_ - cur_ >= n)
        return;
    // Keep the unread tail, then top up from the file.
    const UINT left = end_ - cur_;
    std::memmove(buffer_.data(), buffer_.data() + cur_, left);
    cur_ = 0;
    end_ = left;
    while (end_ < n) {
        const UINT got = file_->Read(buffer_.data() + end_, UINT(buffer_.size()) - end_);
        if (got == 0)
            AfxThrowArchiveException(CArchiveException::endOfFile, file_->GetFilePath());
        end_ += got;
    }
}

void CArchive::put(const void* p, UINT n)
{
    requireStoring();
    const auto* src = static_cast<const BYTE*>(p);
    while (n > 0) {
        if (cur_ == buffer_.size()) {
            file_->Write(buffer_.data(), cur_);
            cur_ = 0;
        }
        const UINT k = std::min<UINT>(n, UINT(buffer_.size()) - cur_);
        std::memcpy(buffer_.data() + cur_, src, k);
        cur_ += k;
        src += k;
        n -= k;
    }
}

void CArchive::get(void* p, UINT n)
{
    requireLoading();
    fill(n);
    std::memcpy(p, buffer_.data() + cur_, n);
    cur_ += n;
}

UINT CArchive::Read(void* lpBuf, UINT nMax)
{
    requireLoading();
    auto* dst = static_cast<BYTE*>(lpBuf);
    UINT done = std::min(nMax, end_ - cur_);
    std::memcpy(dst, buffer_.data() + cur_, done);
    cur_ += done;
    if (done == nMax)
        return done;
    // Large reads go straight to the file; the rest refills the buffer.
    UINT want = nMax - done;
    if (want >= buffer_.size()) {
        done += file_->Read(dst + done, want);
        return done;
    }
    cur_ = 0;
    end_ = file_->Read(buffer_.data(), UINT(buffer_.size()));
    const UINT k = std::min(want, end_);
    std::memcpy(dst + done, buffer_.data(), k);
    cur_ = k;
    return done + k;
}

void CArchive::Write(const void* lpBuf, UINT nMax)
{
    put(lpBuf, nMax);
}

void CArchive::Flush()
{
    if (!file_)
        return;
    if (loading_) {
        if (end_ > cur_)
            file_->Seek(-LONG(end_ - cur_), CFile::current);
        cur_ = end_ = 0;
        return;
    }
    if (cur_ > 0)
        file_->Write(buffer_.data(), cur_);
    cur_ = 0;
}

void CArchive::Close()
{
    if (!file_)
        return;
    if (!loading_)
        Flush();
    file_ = nullptr;
}

void CArchive::Abort()
{
    file_ = nullptr;
    cur_ = end_ = 0;
}

CArchive& CArchive::operator<<(BYTE by)
{
    put(&by, 1);
    return *this;
}

CArchive& CArchive::operator<<(WORD w)
{
    const BYTE b[2] = {BYTE(w), BYTE(w >> 8)};
    put(b, 2);
    return *this;
}

CArchive& CArchive::operator<<(DWORD dw)
{
    const BYTE b[4] = {BYTE(dw), BYTE(dw >> 8), BYTE(dw >> 16), BYTE(dw >> 24)};
    put(b, 4);
    return *this;
}

CArchive& CArchive::operator<<(LONG l)
{
    return *this << DWORD(l);
}

CArchive& CArchive::operator<<(float f)
{
    std::uint32_t bits;
    std::memcpy(&bits, &f, 4);
    return *this << DWORD(bits);
}

CArchive& CArchive::operator<<(double d)
{
    std::uint64_t bits;
    std::memcpy(&bits, &d, 8);
    BYTE b[8];
    for (int i = 0; i < 8; ++i)
        b[i] = BYTE(bits >> (8 * i));
    put(b, 8);
    return *this;
}

void CArchive::WriteStringBytes(const std::string& bytes)
{
    const std::size_t n = bytes.size();
    if (n > 0xFFFFFFFFu)
        AfxThrowArchiveException(CArchiveException::generic);
    if (n < 255) {
        *this << BYTE(n);
    } else if (n < 0xFFFE) {
        *this << BYTE(0xFF) << WORD(n);
    } else {
        *this << BYTE(0xFF) << WORD(0xFFFF) << DWORD(n);
    }
    put(bytes.data(), UINT(n));
}

CArchive& CArchive::operator<<(const CString& s)
{
    WriteStringBytes(vb::Utf8ToCp1252(s));
    return *this;
}

CArchive& CArchive::operator>>(BYTE& by)
{
    get(&by, 1);
    return *this;
}

CArchive& CArchive::operator>>(WORD& w)
{
    BYTE b[2];
    get(b, 2);
    w = WORD(b[0] | (b[1] << 8));
    return *this;
}

CArchive& CArchive::operator>>(short& s)
{
    WORD w;
    *this >> w;
    s = short(w);
    return *this;
}

CArchive& CArchive::operator>>(DWORD& dw)
{
    BYTE b[4];
    get(b, 4);
    dw = DWORD(b[0]) | (DWORD(b[1]) << 8) | (DWORD(b[2]) << 16) | (DWORD(b[3]) << 24);
    return *this;
}

CArchive& CArchive::operator>>(LONG& l)
{
    DWORD dw;
    *this >> dw;
    l = LONG(dw);
    return *this;
}

CArchive& CArchive::operator>>(float& f)
{
    DWORD bits;
    *this >> bits;
    std::memcpy(&f, &bits, 4);
    return *this;
}

CArchive& CArchive::operator>>(double& d)
{
    BYTE b[8];
    get(b, 8);
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i)
        bits |= std::uint64_t(b[i]) << (8 * i);
    std::memcpy(&d, &bits, 8);
    return *this;
}

std::string CArchive::ReadStringBytes()
{
    BYTE b;
    *this >> b;
    DWORD n = b;
    if (b == 0xFF) {
        WORD w;
        *this >> w;
        n = w;
        // 0xFFFE announces a wide string, which this library never wrote.
        if (w == 0xFFFE)
            AfxThrowArchiveException(CArchiveException::badSchema, file_->GetFilePath());
        if (w == 0xFFFF)
            *this >> n;
    }
    std::string out;
    while (out.size() < n) {
        const UINT k = UINT(std::min<std::size_t>(kStringChunk, n - out.size()));
        const std::size_t at = out.size();
        out.resize(at + k);
        if (Read(out.data() + at, k) != k)
            AfxThrowArchiveException(CArchiveException::endOfFile, file_->GetFilePath());
    }
    return out;
}

CArchive& CArchive::operator>>(CString& s)
{
    s = vb::Cp1252ToUtf8(ReadStringBytes());
    return *this;
}
