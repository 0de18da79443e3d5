/* The host modeller's plug-in API, zvkapi.dll: C linkage, cdecl, 32-bit. */
#ifndef ZVKAPI_H
#define ZVKAPI_H

#include <windows.h>

#ifdef ZVKAPI_BUILD
#define ZVKAPI __declspec(dllexport)
#else
#define ZVKAPI __declspec(dllimport)
#endif
#define ZVKCALL __cdecl

#ifdef __cplusplus
extern "C" {
#endif

typedef void* ZvkHandle;
typedef struct ZvkFace ZvkFace;
typedef struct ZvkColor { unsigned char r, g, b, a; } ZvkColor;

enum {
    ZVK_TYPE_POLYHEDRON = 201,
    ZVK_TEXTURE_GLOBAL = 4,
    ZVK_FACE_MATERIAL_OFFSET = 20,
    ZVK_NAME_BUFFER_SIZE = 1024
};

ZVKAPI ZvkHandle ZVKCALL zvkGetCurrentSelection(void);
ZVKAPI int ZVKCALL zvkSobjGetType(ZvkHandle object);
ZVKAPI int ZVKCALL zvkGNodeGetFullName(ZvkHandle object, int flags, char* buffer, int bufferSize);
ZVKAPI int ZVKCALL zvkPolyhGetNbrFaces(ZvkHandle polyhedron);
ZVKAPI ZvkFace** ZVKCALL zvkPolyhGetFaceptrArray(ZvkHandle polyhedron);
ZVKAPI int ZVKCALL zvkPolyhInitializeMaterials(ZvkHandle polyhedron);
ZVKAPI int ZVKCALL zvkPolyhGetMaterial(ZvkHandle polyhedron, unsigned short materialIndex, ZvkHandle material);
ZVKAPI int ZVKCALL zvkPolyhSelectFaces(ZvkHandle polyhedron, int count, const unsigned int* faceIndices);
ZVKAPI int ZVKCALL zvkPolyhPaintFace(ZvkHandle polyhedron, unsigned short faceIndex, ZvkHandle material, int flag);
ZVKAPI int ZVKCALL zvkPolyhPaint(ZvkHandle polyhedron, ZvkHandle material);
ZVKAPI int ZVKCALL zvkMaterialCreate(ZvkHandle* material);
ZVKAPI ZvkHandle ZVKCALL zvkMaterialGetActive(void);
ZVKAPI int ZVKCALL zvkMaterialSetActive(ZvkHandle material);
ZVKAPI int ZVKCALL zvkMaterialFixColor(ZvkHandle material);
ZVKAPI int ZVKCALL zvkMaterialGetColor(ZvkHandle material, ZvkColor* colour);
ZVKAPI int ZVKCALL zvkMaterialSetColor(ZvkHandle material, const ZvkColor* colour);
ZVKAPI int ZVKCALL zvkMaterialGetTextureType(ZvkHandle material);
ZVKAPI int ZVKCALL zvkMaterialIsShaderBoxNull(ZvkHandle material);
ZVKAPI int ZVKCALL zvkMaterialIsShaderBoxValid(ZvkHandle material);
ZVKAPI int ZVKCALL zvkMaterialCreateShaderBox(ZvkHandle material);
ZVKAPI ZvkHandle ZVKCALL zvkShaderGetFirst(void);
ZVKAPI ZvkHandle ZVKCALL zvkShaderGetNext(ZvkHandle shader);
ZVKAPI int ZVKCALL zvkShaderGetID(ZvkHandle shader);
ZVKAPI ZvkHandle ZVKCALL zvkShaderInfoCreate(void);
ZVKAPI int ZVKCALL zvkShaderInfoSetShader(ZvkHandle info, ZvkHandle shader);
ZVKAPI int ZVKCALL zvkMaterialSetShaderInfo(ZvkHandle material, ZvkHandle info);
ZVKAPI void ZVKCALL zvkShaderInfoDestroy(ZvkHandle info);
ZVKAPI void ZVKCALL zvkMaterialDestroy(ZvkHandle material);
ZVKAPI void* ZVKCALL zvkCalloc(unsigned int count, unsigned int size);
ZVKAPI void ZVKCALL zvkFree(void* block);
ZVKAPI void ZVKCALL zvkCurrobjEditToolClose(void);
ZVKAPI void ZVKCALL zvkCurrobjRefresh(void);
ZVKAPI void ZVKCALL zvkAllViewRefreshSelObject(void);
ZVKAPI void ZVKCALL zvkSceneRefresh(void);
ZVKAPI HWND ZVKCALL zvkGetMainViewHwnd(void);
ZVKAPI const char* ZVKCALL zvkGetZVDir(int reserved);

#ifdef __cplusplus
}
#endif

/* The material index of a face record: unsigned 16-bit, little-endian, at byte 20. */
static inline unsigned short zvkFaceMaterialIndex(const ZvkFace* face)
{
    const unsigned char* bytes = (const unsigned char*)face + ZVK_FACE_MATERIAL_OFFSET;
    return (unsigned short)(bytes[0] | (bytes[1] << 8));
}

#endif
