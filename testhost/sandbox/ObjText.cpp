#include "ObjText.h"

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>

bool ReadFileBytes(const std::string& path, std::string& bytes)
{
    std::ifstream file(path.c_str(), std::ios::binary);
    if (!file)
        return false;
    std::ostringstream all;
    all << file.rdbuf();
    bytes = all.str();
    return true;
}

namespace {

bool StartsWith(const std::string& bytes, const char* mark, size_t size)
{
    return bytes.compare(0, size, mark, size) == 0;
}

std::wstring Utf16(const std::string& bytes, bool bigEndian)
{
    std::wstring wide;
    wide.reserve(bytes.size() / 2);
    for (size_t i = 2; i + 1 < bytes.size(); i += 2)
    {
        unsigned char first = bytes[i], second = bytes[i + 1];
        wide += (wchar_t)(bigEndian ? first << 8 | second : second << 8 | first);
    }
    return wide;
}

std::wstring Utf8(const std::string& bytes)
{
    int size = (int)bytes.size() - 3;
    int length = MultiByteToWideChar(CP_UTF8, 0, bytes.data() + 3, size, NULL, 0);
    std::wstring wide(length, L'\0');
    if (length > 0)
        MultiByteToWideChar(CP_UTF8, 0, bytes.data() + 3, size, &wide[0], length);
    return wide;
}

// Without WC_NO_BEST_FIT_CHARS a character the code page lacks would become a look-alike
// ("\x141" an "L"), a name that the file does not have.
std::string Ansi(const std::wstring& wide)
{
    int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), (int)wide.size(), NULL, 0, "?", NULL);
    std::string text(length, '\0');
    if (length > 0)
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), (int)wide.size(), &text[0], length, "?", NULL);
    return text;
}

} // namespace

bool DecodeAnsiText(const std::string& bytes, std::string& text, std::string& error)
{
    // The UTF-32 little-endian mark starts with the UTF-16 one: it goes first.
    if (StartsWith(bytes, "\xFF\xFE\0\0", 4) || StartsWith(bytes, "\0\0\xFE\xFF", 4))
    {
        error = std::string("it is UTF-32 text (a ") + (bytes[0] ? "little" : "big") +
                "-endian byte-order mark), not ANSI, UTF-8 or UTF-16";
        return false;
    }
    if (StartsWith(bytes, "\xEF\xBB\xBF", 3))
        text = Ansi(Utf8(bytes));
    else if (StartsWith(bytes, "\xFE\xFF", 2) || StartsWith(bytes, "\xFF\xFE", 2))
        text = Ansi(Utf16(bytes, bytes[0] == '\xFE'));
    else
    {
        size_t nul = bytes.find('\0');
        if (nul != std::string::npos)
        {
            error = "it is not text: byte " + std::to_string(nul + 1) +
                    " is NUL (binary data, or UTF-16 or UTF-32 without a byte-order mark)";
            return false;
        }
        text = bytes;
    }
    return true;
}

std::string TrimmedName(const std::string& text)
{
    size_t first = text.find_first_not_of(" \t"), last = text.find_last_not_of(" \t");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

namespace {

int WordCount(const std::string& text)
{
    std::istringstream words(text);
    int count = 0;
    for (std::string word; words >> word;)
        ++count;
    return count;
}

} // namespace

bool ScanObjText(const std::string& text, ObjScan& scan, std::string& error)
{
    std::map<std::string, int> nameIndex;
    int current = -1;
    int lineNumber = 0;
    for (size_t start = 0; start < text.size();)
    {
        size_t end = std::min(text.find_first_of("\r\n", start), text.size());
        std::string line = text.substr(start, end - start);
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
        ++lineNumber;
        size_t keyStart = line.find_first_not_of(" \t");
        if (keyStart == std::string::npos)
            continue;
        size_t keyEnd = std::min(line.find_first_of(" \t", keyStart), line.size());
        std::string keyword = line.substr(keyStart, keyEnd - keyStart), rest = TrimmedName(line.substr(keyEnd));
        if (keyword == "f")
        {
            int corners = WordCount(rest);
            if (corners < 3)
            {
                error = "it has a face of fewer than three corners (line " + std::to_string(lineNumber) + ")";
                return false;
            }
            scan.faceCorners.push_back(corners);
            scan.faceMaterials.push_back(current);
        }
        else if (keyword == "usemtl")
        {
            current = -1;
            if (!rest.empty())
            {
                auto entry = nameIndex.emplace(rest, (int)scan.materialNames.size());
                if (entry.second)
                    scan.materialNames.push_back(rest);
                current = entry.first->second;
            }
        }
        else if (keyword == "mtllib" && !rest.empty())
            scan.libraries.push_back(rest);
        else if (keyword == "p")
            scan.points = true;
        else if (keyword == "l")
            scan.lines = true;
    }
    return true;
}
