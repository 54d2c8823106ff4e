// Ids of the program's resources, shared by the resource scripts and the code that shows them.
#ifndef K440_RESOURCES_RESOURCE_H
#define K440_RESOURCES_RESOURCE_H

// The confirmation dialog and its three controls.
#define IDD_CONFIRMATION 102
#define IDC_CONFIRMATION_TEXT 1002
#define IDC_UNINSTALL_BUTTON 1003
#define IDC_CANCEL_BUTTON 1004

#endif
