// Resource identifiers of the plug-in.
#ifndef RESOURCE_H
#define RESOURCE_H

#define IDS_PLUGIN_DESCRIPTION  1
#define IDD_MATID_TOOL          102
#define IDB_PLUGIN_BUTTON       3001

#define IDC_ITEM_TEXT           1004
#define IDC_HELP_BUTTON         1005
#define IDC_CLEAR_LIST          1020
#define IDC_LOAD_LIST           3000
#define IDC_PAINT_RANDOM        3002
#define IDC_COPY_MATERIAL       3003
#define IDC_FACE_LIST           3017
#define IDC_PAINT_SELECTION     3018
#define IDC_PAINT_FACE          3019
#define IDC_LIST_TITLE          3022
#define IDC_PAINT_OPTIONS       3023
#define IDC_PAINT_ALL           3025
#define IDC_OBJECT_NAME         3026
#define IDC_SPARE_BUTTON        3027
#define IDC_PAINT_INVISIBLE     3028

// The face list's context menu and its commands.
#define IDR_FACE_LIST_MENU      110
#define ID_FACES_OUT_OF_DATE    40001
#define ID_SELECT_MATERIAL      40002
#define ID_SELECT_PAINTED       40003
#define ID_SELECT_TO_DO         40004
#define ID_COPY_LIST            40005
#define ID_COPY_SELECTED        40006

// Undo and redo of paints, in the face list's context menu.
#define ID_UNDO_PAINT           40007
#define ID_REDO_PAINT           40008
// The materials panel: the face list's menu item that opens it, its template and its controls.
#define ID_MATERIALS            40009
#define IDD_MATERIALS           103
#define IDC_MATERIALS_STATE     3100
#define IDC_MATERIALS_LIST      3101
#define IDC_MATERIALS_TOTAL     3102
#define IDC_TO_EDITOR           3103
// The panel's commands on a row, as buttons and in the row's context menu (which gives "Select
// faces" as IDOK, what Enter and a double-click give).
#define IDC_ASSIGN              3104
#define IDC_REPLACE             3105
#define IDR_MATERIAL_ROW_MENU   111
// The face list's menu item that switches following Modelvane on and off (Ctrl+F).
#define ID_FOLLOW_HOST          40010
// The timer that looks at the host while the list follows it.
#define ZVK_FOLLOW_TIMER        0x5A46

#endif
