// Resource ids of the video control.
#pragma once

#define IDB_DEVICE 101 // the control's toolbox bitmap
