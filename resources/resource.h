// Identifiers of the program's resources and of the dialog's controls, shared by the
// resource script and the code.
#pragma once

#define IDD_MAIN 101
#define IDI_APP 102

#define IDC_SOURCE_PATH 1001
#define IDC_DEST_PREFIX 1002
#define IDC_SPLIT 1003
#define IDC_STATUS 1004
#define IDC_BROWSE_SOURCE 1005
#define IDC_PROGRESS 1006
#define IDC_SPLIT_SIZE 1007
#define IDC_BROWSE_DEST 1008
#define IDC_MODE_CHUNKS 1009
#define IDC_MODE_SEGMENT 1010
#define IDC_START 1011
#define IDC_END 1012
#define IDC_STOP_AFTER 1013
#define IDC_HEX 1014
#define IDC_STOP_COUNT 1015
