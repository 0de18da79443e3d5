/* The plug-in's interface to the host: the information record and the five exports (cdecl). */
#ifndef ZVKPLUGIN_H
#define ZVKPLUGIN_H

#ifdef __cplusplus
extern "C" {
#endif

#pragma pack(push, 1)
typedef struct PluginInfo
{
    char name[32];
    char credit[64];
    unsigned short bitmapId;
    unsigned short reserved;
} PluginInfo;
#pragma pack(pop)

typedef int (__cdecl *ZvkGetDataProc)(PluginInfo* info, int unused);
typedef int (__cdecl *ZvkGetVersionProc)(void);
typedef int (__cdecl *ZvkOnLeftClickProc)(void);
typedef void (__cdecl *ZvkOnRightClickProc)(void);
typedef void (__cdecl *ZvkDeactivateProc)(void);

#ifdef ZVK_PLUGIN_BUILD
int __cdecl zvkGetData(PluginInfo* info, int unused);
int __cdecl zvkGetVersion(void);
int __cdecl zvkOnLeftClick(void);
void __cdecl zvkOnRightClick(void);
void __cdecl zvkDeactivate(void);
#endif

#ifdef __cplusplus
}
#endif

#endif
