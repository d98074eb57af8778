#pragma once
// Resource numbers shared by VLMR.rc and the code.
#define IDI_VELMORA 1
#define IDB_BANNER 101
#define IDB_SAVE 102
#define IDB_OPEN 103
