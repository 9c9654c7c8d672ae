/* Resource ids shared by norvathel.rc and the program (plain #defines for windres and C++). */
#ifndef NORVATHEL_RESOURCE_H
#define NORVATHEL_RESOURCE_H

#define IDI_APP   116
#define IDB_PLATE 122
#define IDB_BOARD 123

#endif
