// Resource and control ids of KorvexMasterInstaller.exe. Read by the resource
// compiler as well as by C++, so only plain #defines belong here.
#pragma once

// Application icon: window caption and the pages' product icon.
#define IDI_KORVEXMASTERINSTALLER 101

// Dialog templates.
#define IDD_SETTING_PANEL 137
#define IDD_INSTALL_GUIDE 139
#define IDD_STATUS_PANEL 142
#define IDD_SUCCESS_PANEL 149
#define IDD_CLIENT_VALIDATOR 172

// Settings page (IDD_SETTING_PANEL).
#define IDC_BTN_INSTALL 133
#define IDC_CHK_ACCEPT_TERMS 134
#define IDC_LBL_ACCEPT_TERMS 135
#define IDC_LBL_INSTALL_SETTINGS 136
#define IDC_BTN_EXPANDER 138
#define IDC_LBL_INSTALL_FOLDER 140
#define IDC_EDT_INSTALL_FOLDER 143
#define IDC_BTN_BROWSE 148
#define IDC_LNK_LICENSE_TERMS 152

// Progress page (IDD_STATUS_PANEL). The progress bar and the slide show are
// created at run time, not from the template.
#define IDC_PROGRESS_BAR 105
#define IDC_LBL_STATUS 122
#define IDC_LBL_PERCENT 123
#define IDC_SLIDE_SHOW 170
#define IDC_LBL_TIME 173

// Finish page (IDD_SUCCESS_PANEL): its Start Now button is IDOK.

// Client validator (IDD_CLIENT_VALIDATOR).
#define IDC_VALIDATOR_PROGRESS 171

// PNG resources (type "PNG"). Each picture exists at 100 %, 125 %, 150 % and
// 200 % under four consecutive ids; code passes the first id to DpiImageId.
#define IDB_CLOSE 106
#define IDB_CLOSE_125 107
#define IDB_CLOSE_150 108
#define IDB_CLOSE_200 109
#define IDB_MINIMIZE 110
#define IDB_MINIMIZE_125 111
#define IDB_MINIMIZE_150 112
#define IDB_MINIMIZE_200 113
#define IDB_MAXIMIZE 114
#define IDB_MAXIMIZE_125 115
#define IDB_MAXIMIZE_150 116
#define IDB_MAXIMIZE_200 117
#define IDB_RESTORE 118
#define IDB_RESTORE_125 119
#define IDB_RESTORE_150 120
#define IDB_RESTORE_200 121
#define IDB_WORDMARK 129
#define IDB_WORDMARK_125 130
#define IDB_WORDMARK_150 131
#define IDB_WORDMARK_200 132
#define IDB_COMBO_ARROW 144
#define IDB_COMBO_ARROW_125 145
#define IDB_COMBO_ARROW_150 146
#define IDB_COMBO_ARROW_200 147
#define IDB_CHECK_ON 153
#define IDB_CHECK_ON_125 154
#define IDB_CHECK_ON_150 155
#define IDB_CHECK_ON_200 156
#define IDB_CHECK_OFF 157
#define IDB_CHECK_OFF_125 158
#define IDB_CHECK_OFF_150 159
#define IDB_CHECK_OFF_200 160
#define IDB_CHEVRON_UP 161
#define IDB_CHEVRON_UP_125 162
#define IDB_CHEVRON_UP_150 163
#define IDB_CHEVRON_UP_200 164
#define IDB_CHEVRON_DOWN 165
#define IDB_CHEVRON_DOWN_125 166
#define IDB_CHEVRON_DOWN_150 167
#define IDB_CHEVRON_DOWN_200 168
