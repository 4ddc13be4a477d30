// Resource ids of the launcher; the .rc script includes this file too, so it
// holds plain macros only.
#pragma once

#define IDD_UPDATER 102
#define IDI_LAUNCHER 128

#define IDB_BACKGROUND 150
#define IDB_CANCEL 130
#define IDB_CANCEL_PRESSED 131
// The sweep animation, in the order its frames are shown.
#define IDB_SWEEP_1 139
#define IDB_SWEEP_2 144
#define IDB_SWEEP_3 136
#define IDB_SWEEP_4 141
#define IDB_SWEEP_5 138
#define IDB_SWEEP_6 145
#define IDB_PROGRESS_TRACK 151
#define IDB_PROGRESS_BAR 152

#define IDC_CANCEL 1000
#define IDC_PROGRESS 1002
