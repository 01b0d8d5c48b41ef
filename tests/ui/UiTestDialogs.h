// Dialog templates and pictures of the toolkit's window tests, apart from
// the product's own ids.
#pragma once

#define IDD_UITEST_FIXED 901
#define IDD_UITEST_SIZABLE 902
#define IDB_UITEST_PREMULTIPLY 950

#define IDC_UITEST_IMAGE_BUTTON 1001
#define IDC_UITEST_TEXT_BUTTON 1002
#define IDC_UITEST_LABEL 1003
#define IDC_UITEST_EDIT 1004
#define IDC_UITEST_COMBO 1005
#define IDC_UITEST_RIGHT_LABEL 1006
