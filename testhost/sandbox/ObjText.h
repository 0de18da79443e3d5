// OBJ and MTL files as text in the host's code page, and what an OBJ file's lines say that the
// loader reads otherwise than other viewers do: material names with spaces, material libraries,
// faces of more than 255 corners, files with points or lines only.
#ifndef OBJTEXT_H
#define OBJTEXT_H

#include <string>
#include <vector>

// The whole file as it is; false when it cannot be opened.
bool ReadFileBytes(const std::string& path, std::string& bytes);

// The file's bytes as text in the host's ANSI code page. A UTF-8 or UTF-16 byte-order mark (either
// byte order) says the encoding, and a character the code page lacks becomes '?'; bytes without a
// mark are taken as they are. False, with the reason for a person, for what cannot be a text OBJ
// or MTL file: UTF-32, or a NUL byte (binary data, or UTF-16 without a mark).
bool DecodeAnsiText(const std::string& bytes, std::string& text, std::string& error);

// What an OBJ file's lines say, read the way the loader splits them into lines (LF, CR LF or CR).
struct ObjScan
{
    std::vector<std::string> libraries;       // each mtllib line's rest, in order
    std::vector<std::string> materialNames;   // the names usemtl lines give, each once, in order of first use
    std::vector<int> faceCorners;             // each face's corner count, in the file's order
    std::vector<int> faceMaterials;           // each face's index in materialNames; -1: none named
    bool points = false;
    bool lines = false;
};

// A name is the whole rest of its line without the white space around it; usemtl without a name
// goes back to no material. False, with the reason, for a face of fewer than three corners.
bool ScanObjText(const std::string& text, ObjScan& scan, std::string& error);

// The rest of a line without the white space around it.
std::string TrimmedName(const std::string& text);

#endif
