// The plug-in's version, in one place for the version resource and the host.
#ifndef VERSION_H
#define VERSION_H

#define ZVK_FILEVERSION       1,5,0,1
#define ZVK_FILEVERSION_STR   "1, 5, 0, 1"
#define ZVK_PLUGIN_VERSION    660

#endif
