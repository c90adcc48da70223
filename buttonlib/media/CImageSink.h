#pragma once
// Where an encoder writes: a block of fixed capacity, written to its file in
// one piece when the sink is closed. The file replaces its target only then;
// a sink dropped without Close (a failed encode) leaves no file behind and
// an existing file as it was.

#include "buttonlib/media/CPLObject.h"

#include "platform/mfc/CFile.h"

#include <string>
#include <vector>

class CImageSink : public CPLObject {
public:
    CImageSink() = default;
    CImageSink(const CImageSink&) = delete;
    CImageSink& operator=(const CImageSink&) = delete;

    // Raises code 11 "Buffer overflow while encoding.\n" beyond the capacity.
    int WriteNBytes(int n, const BYTE* data);
    virtual void Close();

    const std::string& GetName() const { return name_; }
    std::size_t GetCapacity() const { return capacity_; }
    std::size_t GetBytesWritten() const { return data_.size(); }
    const std::vector<BYTE>& GetData() const { return data_; }

protected:
    std::vector<BYTE> data_;
    std::size_t capacity_ = 0;
    std::string name_;
};

class CFileImageSink : public CImageSink {
public:
    ~CFileImageSink() override;
    // 0, or -1 when the file cannot be created.
    int Open(const char* path, std::size_t capacity);
    // Writes the collected bytes; raises code -1 when that fails.
    void Close() override;

private:
    CFile file_;
};
