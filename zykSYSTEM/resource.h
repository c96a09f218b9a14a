// Resource ids of the system-information server.
#pragma once

#define IDS_PROJNAME 100      // the project's name
#define IDS_TITLEPropPage 105 // the property page's title
#define IDS_HELPFILEPropPage 106
#define IDS_DOCSTRINGPropPage 107
#define IDS_OUT_OF_MEMORY 108 // "Out of Memory."

#define IDB_MEMORY 101 // toolbox bitmaps of the controls
#define IDB_CPU 103
#define IDB_OS 110
#define IDB_OSVERSION 112
#define IDB_DRIVES 114
#define IDB_DRIVE 116

#define IDD_PROPPAGE 109 // the property page's dialog
#define IDI_SYSTEM 202   // the icon every control shows
