#include "platform/mfc/CException.h"

#include <cerrno>
#include <cstring>

CArchiveException::CArchiveException(int cause, const CString& fileName)
    : m_cause(cause), m_strFileName(fileName)
{
}

const char* CArchiveException::what() const noexcept
{
    switch (m_cause) {
    case endOfFile: return "Archive: unexpected end of data.";
    case badSchema: return "Archive: unexpected data format.";
    case badClass: return "Archive: unexpected object class.";
    case readOnly: return "Archive: writing to a loading archive.";
    case writeOnly: return "Archive: reading from a storing archive.";
    default: return "Archive: generic error.";
    }
}

CFileException::CFileException(int cause, LONG osError, const CString& fileName)
    : m_cause(cause), m_lOsError(osError), m_strFileName(fileName)
{
    text_ = "File error " + std::to_string(cause);
    if (osError > 0)
        text_ += std::string(" (") + std::strerror(osError) + ")";
    if (!fileName.empty())
        text_ += ": " + fileName;
}

const char* CFileException::what() const noexcept
{
    return text_.c_str();
}

int CFileException::OsErrorToException(int error)
{
    switch (error) {
    case 0: return none;
    case ENOENT: return fileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP: return badPath;
    case EMFILE:
    case ENFILE: return tooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case EEXIST: return accessDenied;
    case EBADF: return invalidFile;
    case ESPIPE:
    case EINVAL: return badSeek;
    case EIO: return hardIO;
    case EBUSY:
    case ETXTBSY: return sharingViolation;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return diskFull;
    default: return generic;
    }
}

void AfxThrowMemoryException()
{
    throw CMemoryException();
}

void AfxThrowArchiveException(int cause, const CString& fileName)
{
    throw CArchiveException(cause, fileName);
}

void AfxThrowFileException(int cause, LONG osError, const CString& fileName)
{
    throw CFileException(cause, osError, fileName);
}
