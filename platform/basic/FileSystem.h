#pragma once
// Files as the FileSystemObject gives them, and the atomic rewrite every
// rewritten file goes through. Text files are written UTF-8 with CR LF line
// ends and read leniently: a line that is not UTF-8 is taken as Windows-1252.
// Failures raise the runtime's file errors (53, 58, 70, 75, 76).

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vb::fso {

namespace fs = std::filesystem;

bool FileExists(const fs::path& path);
bool FolderExists(const fs::path& path);
// Raises 53 when the file is missing.
void DeleteFile(const fs::path& path);
// Raises 53 when the source is missing, 58 when the target exists and
// overwrite is false. Copying a file onto itself does nothing.
void CopyFile(const fs::path& source, const fs::path& target, bool overwrite = true);
// Rename, or copy and delete across file systems; 58 when the target exists.
void MoveFile(const fs::path& source, const fs::path& target);
// Creates the folder and its parents; nothing when it exists.
void CreateFolder(const fs::path& path);
void DeleteFolder(const fs::path& path);
long long FileLen(const fs::path& path);

// The whole file as bytes; raises 53 when missing.
std::string ReadAllBytes(const fs::path& path);
// Replaces the file through a temporary file in the same folder renamed over
// it: a crash leaves the old file or the new one, never a part.
void WriteAllBytesAtomic(const fs::path& path, std::string_view bytes);

// An exclusive lock, between processes, for a file's read-change-rewrite.
// It is held on "<file>.lock" beside the file: the file itself is replaced by
// every rewrite, and a lock on a replaced file guards nothing.
class FileLock {
public:
    FileLock() = default;
    // Waits for the lock; raises the runtime's file errors when the lock file
    // cannot be opened (a read-only folder, a full disk).
    explicit FileLock(const fs::path& file);

    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock();

    bool Held() const { return fd_ >= 0; }
    // Opens and locks the lock file, waiting when wait is set; answers 0 or
    // the errno of what failed (EWOULDBLOCK: another process holds it).
    int Acquire(const fs::path& file, bool wait);

private:
    int fd_ = -1;
};

enum class IOMode { ForReading = 1, ForWriting = 2, ForAppending = 8 };

// A text file opened for reading, writing or appending. Writing and appending
// go to a temporary copy that replaces the file on Close (or when the stream
// goes away normally); a stream dropped by an exception leaves the file as it was.
class TextStream {
public:
    static TextStream OpenTextFile(const fs::path& path, IOMode mode = IOMode::ForReading, bool create = false);
    static TextStream CreateTextFile(const fs::path& path, bool overwrite = true);

    TextStream(TextStream&& other) noexcept;
    TextStream& operator=(TextStream&& other) noexcept;
    TextStream(const TextStream&) = delete;
    TextStream& operator=(const TextStream&) = delete;
    ~TextStream();

    bool AtEndOfStream() const;
    // The next line without its line end (CR LF, LF or CR); 62 past the end.
    std::string ReadLine();
    std::string ReadAll();
    // 1-based number of the line to be read next.
    long Line() const { return line_; }

    void Write(std::string_view text);
    void WriteLine(std::string_view text = {});
    void WriteBlankLines(int count);

    // Commits what was written.
    void Close();
    // Drops what was written; the file stays as it was.
    void Abandon();

private:
    TextStream() = default;

    IOMode mode_ = IOMode::ForReading;
    fs::path path_;
    std::string data_;
    size_t pos_ = 0;
    long line_ = 1;
    bool open_ = false;
    int uncaught_ = 0;
};

// Splits text into lines at CR LF, LF or CR; a final line end adds no empty line.
std::vector<std::string> SplitLines(std::string_view text);

} // namespace vb::fso
