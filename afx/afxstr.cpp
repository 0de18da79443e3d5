#include "afxstr.h"
#include <cstdarg>
#include <cstdio>
#include <cstring>

void CString::Format(LPCTSTR pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    va_list measure;
    va_copy(measure, args);
    int nLength = vsnprintf(NULL, 0, pszFormat, measure);
    va_end(measure);
    if (nLength < 0)
        nLength = 0;
    m_str.resize(nLength + 1);
    vsnprintf(&m_str[0], nLength + 1, pszFormat, args);
    m_str.resize(nLength);
    va_end(args);
}

LPTSTR CString::GetBufferSetLength(int nNewLength)
{
    m_str.resize(nNewLength < 0 ? 0 : nNewLength);
    return &m_str[0];
}

void CString::ReleaseBuffer(int nNewLength)
{
    if (nNewLength < 0)
        nNewLength = (int)strnlen(m_str.c_str(), m_str.size());
    m_str.resize(nNewLength);
}
