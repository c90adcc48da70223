#include "buttonlib/media/CPLObject.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

CTextException::CTextException(int code, const char* msg)
    : code_(code), msg_(msg ? msg : "")
{
}

CTextException::CTextException(const CTextException& other)
    : CPLObject(), code_(other.GetCode()), msg_(other.GetMsg())
{
}

CTextException& CTextException::operator=(const CTextException& other)
{
    code_ = other.GetCode();
    msg_ = other.GetMsg();
    return *this;
}

int CTextException::GetCode() const
{
    return code_;
}

const char* CTextException::GetMsg() const
{
    return msg_.c_str();
}

void RaiseError(int code, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::vector<char> text(n > 0 ? std::size_t(n) + 1 : 1, '\0');
    if (n > 0)
        std::vsnprintf(text.data(), text.size(), format, args);
    va_end(args);
    const std::string msg = std::string("Decoder error: ") + text.data() + "\n";
    throw CTextException(code, msg.c_str());
}
