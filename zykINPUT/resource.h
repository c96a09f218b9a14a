// Resource ids of the controller-input server.
#pragma once

#define IDS_PROJNAME 100 // the server's name
#define IDB_DEVICES 103  // the Devices control's toolbox bitmap
