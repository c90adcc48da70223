#pragma once
// The data a decoder reads: a file (read whole into memory) or a caller's
// memory block (not copied). ReadNBytes hands out the next n bytes and
// advances past them; reading past the end raises code 11 and leaves the
// read position where it was.

#include "buttonlib/media/CPLObject.h"

#include <string>
#include <vector>

// Told the fraction of the data consumed, now and then.
class IProgressNotification {
public:
    virtual ~IProgressNotification() = default;
    virtual void OnProgress(double done) = 0;
};

class CImageSource : public CPLObject {
public:
    explicit CImageSource(IProgressNotification* notifier = nullptr);
    CImageSource(const CImageSource&) = delete;
    CImageSource& operator=(const CImageSource&) = delete;
    ~CImageSource() override;

    virtual void Close();
    // The current position; nothing is consumed. The caller may look at no
    // more than GetBytesLeft() bytes from it.
    virtual const BYTE* GetBufferPtr(int minBytes);
    virtual const BYTE* GetCurrentPtr();
    // Raises code 11 for a negative count or one beyond the data.
    virtual const BYTE* ReadNBytes(int n);
    // Raises code 11 unless count units of unitBytes bytes are left; nothing
    // is consumed. Decoders call it before they make a bitmap whose rows
    // are stored plainly, so that a short file costs no large allocation.
    void RequireBytes(unsigned long long count, unsigned long long unitBytes = 1) const;
    // The end-of-data failure: code 11, its text without the decoder prefix.
    [[noreturn]] static void RaiseEndOfData();

    const std::string& GetName() const { return name_; }
    int GetFileSize() const { return size_; }
    int GetBytesConsumed() const { return consumed_; }
    int GetBytesLeft() const { return size_ - consumed_; }
    bool IsOpen() const { return open_; }

protected:
    void Open(const std::string& name, const BYTE* data, int size);

private:
    IProgressNotification* notifier_;
    std::string name_;
    const BYTE* data_ = nullptr;
    int size_ = 0;
    int consumed_ = 0;
    bool open_ = false;
};

class CFileImageSource : public CImageSource {
public:
    using CImageSource::CImageSource;
    // 0, or 3 (path not found), 4 (cannot be opened), 5 (access denied, or
    // empty or too large to read as a whole).
    int Open(const char* path);
    void Close() override;

private:
    std::vector<BYTE> bytes_;
};

class CMemImageSource : public CImageSource {
public:
    using CImageSource::CImageSource;
    // The block must stay alive while the source is used.
    int Open(const BYTE* block, int size);
};
