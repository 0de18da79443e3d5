// CString: the class library's string, over std::string (no Unicode build).
#ifndef AFXSTR_H
#define AFXSTR_H

#include <windows.h>
#include <string>

class CString
{
public:
    CString() {}
    CString(LPCTSTR psz) : m_str(psz ? psz : "") {}

// Attributes
    int GetLength() const { return (int)m_str.size(); }
    operator LPCTSTR() const { return m_str.c_str(); }

// Operations
    void Empty() { m_str.clear(); }
    CString& operator=(LPCTSTR psz) { m_str = psz ? psz : ""; return *this; }
    CString& operator+=(LPCTSTR psz) { m_str += psz ? psz : ""; return *this; }
    void Format(LPCTSTR pszFormat, ...);
    LPTSTR GetBufferSetLength(int nNewLength);
    void ReleaseBuffer(int nNewLength = -1);
    int Compare(LPCTSTR psz) const { return m_str.compare(psz ? psz : ""); }

private:
    std::string m_str;
};

inline bool operator==(const CString& s1, LPCTSTR s2) { return s1.Compare(s2) == 0; }
inline bool operator!=(const CString& s1, LPCTSTR s2) { return s1.Compare(s2) != 0; }
inline CString operator+(const CString& s1, LPCTSTR s2) { CString s(s1); s += s2; return s; }

#endif
