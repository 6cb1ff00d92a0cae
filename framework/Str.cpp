// CString: formatting and search helpers.
#include "Str.h"

#include <cctype>
#include <cstdio>
#include <cstring>

CString CString::Mid(int first) const
{
    return Mid(first, GetLength() - first);
}

CString CString::Mid(int first, int count) const
{
    if (first < 0)
        first = 0;
    if (first > GetLength())
        first = GetLength();
    if (count < 0)
        count = 0;
    if (count > GetLength() - first)
        count = GetLength() - first;
    return CString(m_text.substr(first, count));
}

CString CString::Left(int count) const
{
    return Mid(0, count);
}

int CString::Find(char ch, int start) const
{
    if (start < 0 || start >= GetLength())
        return -1;
    std::string::size_type at = m_text.find(ch, start);
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::Find(const char* sub, int start) const
{
    if (start < 0 || start > GetLength() || sub == nullptr)
        return -1;
    std::string::size_type at = m_text.find(sub, start);
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::CompareNoCase(const char* other) const
{
    const unsigned char* a = reinterpret_cast<const unsigned char*>(m_text.c_str());
    const unsigned char* b = reinterpret_cast<const unsigned char*>(other ? other : "");
    for (;; ++a, ++b) {
        int ca = std::tolower(*a);
        int cb = std::tolower(*b);
        if (ca != cb || ca == 0)
            return ca - cb;
    }
}

void CString::Format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::FormatV(const char* format, va_list args)
{
    va_list probe;
    va_copy(probe, args);
    int needed = std::vsnprintf(nullptr, 0, format, probe);
    va_end(probe);
    if (needed < 0) {
        m_text.clear();
        return;
    }
    std::string out(static_cast<size_t>(needed) + 1, '\0');
    std::vsnprintf(&out[0], out.size(), format, args);
    out.resize(static_cast<size_t>(needed));
    m_text.swap(out);
}

CString& CString::operator=(const char* text)
{
    m_text = text ? text : "";
    return *this;
}

CString& CString::operator+=(const CString& other)
{
    m_text += other.m_text;
    return *this;
}

CString& CString::operator+=(const char* text)
{
    if (text)
        m_text += text;
    return *this;
}

CString& CString::operator+=(char ch)
{
    m_text += ch;
    return *this;
}

CString operator+(const CString& a, const CString& b)
{
    CString result(a);
    result += b;
    return result;
}
