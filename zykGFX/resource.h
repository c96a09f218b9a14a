// Resource ids of the 2D graphics server.
#pragma once

#define IDB_DEVICES 101 // the Devices control's toolbox bitmap
#define IDI_DEVICES 201 // the icon the Devices control shows
