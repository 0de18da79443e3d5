/* Control functions of the replacement host (zvkapi.dll), for tests, benchmarks and the sandbox.
   The plug-in never calls them. C linkage, cdecl. */
#ifndef ZVKTEST_H
#define ZVKTEST_H

#include "zvkapi.h"

#ifdef ZVKAPI_BUILD
#define ZVKTEST __declspec(dllexport)
#else
#define ZVKTEST __declspec(dllimport)
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* A material as the host keeps it. */
typedef struct ZvktMaterial
{
    ZvkColor colour;
    int textureType;      /* 4 = global texture */
    int shaderBox;        /* ZVKT_SHADERBOX_* */
    ZvkHandle shader;     /* set through a shader info; 0 = none */
} ZvktMaterial;

enum { ZVKT_SHADERBOX_NULL = 0, ZVKT_SHADERBOX_VALID = 1, ZVKT_SHADERBOX_INVALID = 2 };

/* One call into the host API, as the plug-in made it. */
typedef struct ZvktCall
{
    const char* function;          /* e.g. "zvkPolyhPaintFace" */
    unsigned int args[4];          /* the raw 32-bit arguments, in order; unused ones 0 */
    int argCount;
    unsigned int result;           /* the raw 32-bit result (0 for void) */
    ZvkColor colour;               /* zvkMaterialGetColor: colour returned; zvkMaterialSetColor: colour given */
    int indexCount;                /* zvkPolyhSelectFaces: copy of the face-index array */
    const unsigned int* indices;
} ZvktCall;

/* What was created and released since the last reset. */
typedef struct ZvktBalance
{
    int materialsCreated, materialsDestroyed, materialsFreed;
    int blocksAllocated, blocksFreed;   /* zvkCalloc/zvkFree, material blocks excluded */
    int shaderInfosCreated, shaderInfosDestroyed;
    int badFrees;                       /* zvkFree/zvkMaterialDestroy of something not handed out, or twice */
} ZvktBalance;

/* Scene: empties it, resets the editor's material (opaque white-grey 200,200,200,255, no texture,
   valid shader box, no shader), the shaders, the selection, the journal and the balance. */
ZVKTEST void zvktReset(void);
/* A polyhedron of faceCount faces; materialIndices gives each face's material index (NULL: all 0).
   It gets slotCount material slots (slot m has colour (m*40 % 256, 100, 200 - m % 200, 255)). */
ZVKTEST ZvkHandle zvktAddPolyhedron(const char* fullName, int faceCount, const unsigned short* materialIndices, int slotCount);
ZVKTEST ZvkHandle zvktAddObject(const char* fullName, int type);
ZVKTEST void zvktSelect(ZvkHandle object);                  /* the host's current selection (0: none) */
/* Odd host data: the face count reported and whether the face pointer array is reported as null. */
ZVKTEST void zvktSetReportedFaceCount(ZvkHandle polyhedron, int count);
ZVKTEST void zvktSetNullFaceArray(ZvkHandle polyhedron, int isNull);
/* Every paint moves the face pointer array to a new block and makes the old one inaccessible, as a
   host that reallocates its array may: a pointer kept across a paint faults. Small polyhedra only:
   the old blocks stay reserved until zvktReset. */
ZVKTEST void zvktSetMovingFaceArray(ZvkHandle polyhedron, int moves);
/* zvkGNodeGetFullName fills the whole buffer without a terminating zero. */
ZVKTEST void zvktSetUnterminatedNames(int on);

ZVKTEST int zvktObjectCount(void);
ZVKTEST ZvkHandle zvktObjectAt(int index);
ZVKTEST const char* zvktObjectName(ZvkHandle object);
ZVKTEST int zvktObjectType(ZvkHandle object);
ZVKTEST int zvktFaceCount(ZvkHandle polyhedron);
ZVKTEST int zvktFaceMaterialIndex(ZvkHandle polyhedron, int face);
ZVKTEST int zvktSlotCount(ZvkHandle polyhedron);
ZVKTEST void zvktGetSlot(ZvkHandle polyhedron, int slot, ZvktMaterial* material);
ZVKTEST int zvktIsFaceSelected(ZvkHandle polyhedron, int face);
ZVKTEST int zvktSelectedFaceCount(ZvkHandle polyhedron);

/* The Material Editor's active material. */
ZVKTEST void zvktGetEditorMaterial(ZvktMaterial* material);
ZVKTEST void zvktSetEditorMaterial(const ZvktMaterial* material);

/* Shaders, walked in the order added. */
ZVKTEST ZvkHandle zvktAddShader(int id);

/* Host directory reported by zvkGetZVDir (default: the folder of zvkapi.dll) and main view window. */
ZVKTEST void zvktSetZVDir(const char* directory);
ZVKTEST void zvktSetMainViewHwnd(HWND window);

/* Journal and balance. */
ZVKTEST int zvktJournalCount(void);
ZVKTEST const ZvktCall* zvktJournalAt(int index);
ZVKTEST void zvktJournalClear(void);
/* Off: calls are not recorded (benchmarks with large arrays). Reset turns it on. */
ZVKTEST void zvktSetJournalEnabled(int on);
ZVKTEST void zvktGetBalance(ZvktBalance* balance);

/* Called after every host API call that changed the scene, the selection or the editor. */
typedef void (__cdecl *ZvktChangeCallback)(void);
ZVKTEST void zvktSetChangeCallback(ZvktChangeCallback callback);

/* Host faults; zvktReset switches every one off.
   zvkMaterialCreate leaves the handle 0 and returns 0: after skip more creates that succeed,
   the next count creates fail (count < 0: every one from then on; 0: none). */
ZVKTEST void zvktSetMaterialCreateFault(int skip, int count);
/* zvkCalloc returns a null pointer, counted as zvkMaterialCreate's fault is. */
ZVKTEST void zvktSetCallocFault(int skip, int count);
/* The face pointer array holds a null pointer in place of this face's record (which stays). */
ZVKTEST void zvktSetNullFaceRecord(ZvkHandle polyhedron, int face, int isNull);
/* zvkGetZVDir returns a null pointer or an empty string instead of the directory set. */
enum { ZVKT_ZVDIR_AS_SET = 0, ZVKT_ZVDIR_NULL = 1, ZVKT_ZVDIR_EMPTY = 2 };
ZVKTEST void zvktSetZVDirFault(int fault);
/* The shader walk finds no shader, or every shader reports identifier 1, or zvkShaderInfoCreate
   makes no shader info (returns 0). */
enum { ZVKT_SHADERS_AS_ADDED = 0, ZVKT_SHADERS_NONE = 1, ZVKT_SHADERS_ALL_ID_1 = 2, ZVKT_SHADER_INFOS_NONE = 3 };
ZVKTEST void zvktSetShaderFault(int fault);
/* Model loading (the sandbox host): a slot's material, colour and alpha included. A slot past
   the polyhedron's last is ignored. */
ZVKTEST void zvktSetSlot(ZvkHandle polyhedron, int slot, const ZvktMaterial* material);
/* Random walk: the host's shader list emptied, so that a walk can give it other shaders. */
ZVKTEST void zvktClearShaders(void);

#ifdef __cplusplus
}
#endif

#endif
