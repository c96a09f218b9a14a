// Resource and control ids of the configuration applet.
#pragma once

// The applet's icon and texts, as the Control Panel asks for them.
#define IDI_APPLET 1
#define IDS_APPLET_NAME 2
#define IDS_APPLET_INFO 3
#define IDS_NOT_REGISTERED 4

// Dialogs: the configuration dialog and the progress window of the analysis.
#define IDD_CONFIG 4
#define IDD_PROGRESS 122

// Pictures of the lists (icons) and of the dialog (bitmaps).
#define IDI_DISPLAY 108
#define IDB_PICTURE 109
#define IDI_RENDER2D 110
#define IDI_REFERENCE 111
#define IDI_RASTER 112
#define IDI_TNLHAL 113
#define IDI_NOT_REGISTERED 114
#define IDI_SOUND 115
#define IDI_POINTER 118
#define IDI_FEEDBACK 120
#define IDI_KEYBOARD 121
#define IDI_FLAT 128
#define IDI_GOURAUD 129

// Flags of the four languages, current and not current.
#define IDB_FLAG_SPA_CURRENT 132
#define IDB_FLAG_FRA_CURRENT 133
#define IDB_FLAG_GER_CURRENT 134
#define IDB_FLAG_UK_CURRENT 135
#define IDB_FLAG_SPA 136
#define IDB_FLAG_FRA 137
#define IDB_FLAG_GER 138
#define IDB_FLAG_UK 139

// Controls of the configuration dialog.
#define IDC_PICTURE 1000
#define IDC_ADAPTERS 1001
#define IDC_ADAPTERS3D 1002
#define IDC_SOUND 1003
#define IDC_FULLSCREEN 1004
#define IDC_CONTROLLERS 1005
#define IDC_WEBSITE 1015
#define IDC_CONFIGURE 1017
#define IDC_ATTACHED 1019
#define IDC_VENDOR 1020
#define IDC_SPEED 1021
#define IDC_SPECULAR 1022
#define IDC_RENDERMODE 1023
#define IDC_ANTIALIAS 1024
#define IDC_DITHER 1025
#define IDC_PROGRESS 1028
#define IDC_GRAPHICS_HEADING 1030
#define IDC_3D_HEADING 1031
#define IDC_SOUND_HEADING 1032
#define IDC_CONTROLLERS_HEADING 1033
#define IDC_SYSTEM_HEADING 1034
#define IDC_FLAG_SPA 1035
#define IDC_FLAG_GER 1036
#define IDC_FLAG_FRA 1037
#define IDC_FLAG_UK 1038
#define IDC_LANGUAGE 1039
#define IDC_VENDOR_LABEL 1041
#define IDC_SPEED_LABEL 1042
#define IDC_MODES 1043
#define IDC_STEP 1044
#define IDC_TABS 1046
#define IDC_3D_FRAME 1047
