#pragma once
// The UI string table: every text the installer shows has an IDS_ key and an
// English default compiled in. At run time the text comes from
// <language folder>\<LANGID>\stringPro.ini (sections "UISTRING", "RLINK",
// "LANGUAGE") when that file exists, else from the default.

#include <string>

namespace korvex::config {

struct UiString {
    const wchar_t* m_key;
    const wchar_t* m_default;
};

#define KORVEX_WIDE_TEXT(text) L##text
#define KORVEX_UI_STRING(name, text)  \
    inline constexpr UiString name    \
    {                                 \
        KORVEX_WIDE_TEXT(#name), text \
    }

KORVEX_UI_STRING(IDS_INSTALL, L"Install");
KORVEX_UI_STRING(IDS_STATUS_INIT, L"Initializing...");
KORVEX_UI_STRING(IDS_STATUS_CANCELLING, L"Cancelling...");
KORVEX_UI_STRING(IDS_STATUS_DOWNLOADING, L"Downloading, please wait...");
KORVEX_UI_STRING(IDS_STATUS_INSTALLING, L"Installing, please wait...");
KORVEX_UI_STRING(IDS_STATUS_FINISHED, L"Finished.");
KORVEX_UI_STRING(IDS_STATUS_INSTALL_FAILED, L"Install failed.");
KORVEX_UI_STRING(IDS_STATUS_CANCELLED, L"Cancelled.");
KORVEX_UI_STRING(IDS_PRODUCT_READY, L"%s is ready");
KORVEX_UI_STRING(IDS_ACCEPT_LICENSE_TERMS, L"I accept the");
KORVEX_UI_STRING(IDS_LINK_LICENSE_TERMS, L"License Terms");
KORVEX_UI_STRING(IDS_INSTALL_SETTINGS, L"Installation settings");
KORVEX_UI_STRING(IDS_SELECT_LANG, L"Please select a language:");
KORVEX_UI_STRING(IDS_INSTALL_FOLDER, L"Installation folder:");
KORVEX_UI_STRING(IDS_TEXT_CANCEL, L"Cancel");
KORVEX_UI_STRING(IDS_MESSAGE_CANCELNOTICE, L"Are you sure you want to cancel the installation?");
KORVEX_UI_STRING(IDS_START_NOW, L"Start Now");
KORVEX_UI_STRING(IDS_LAUNCH_APP, L"Launch %s");
KORVEX_UI_STRING(IDS_BROWSE_DEST_FOLDER, L"Browse to the destination folder.");
KORVEX_UI_STRING(IDS_PREPARING, L"Preparing...");
KORVEX_UI_STRING(IDS_CALC_TIME_REMAINING, L"Calculating time remaining...");
KORVEX_UI_STRING(IDS_TIME_REMAINING_HOURS, L"%02d hours %02d mins %02d secs remaining...");
KORVEX_UI_STRING(IDS_TIME_REMAINING_MINS, L"%02d mins %02d secs remaining...");
KORVEX_UI_STRING(IDS_TIME_REMAINING_SECS, L"%02d secs remaining...");
KORVEX_UI_STRING(IDS_FILE_ASSOCIATION, L"Associate with:");
KORVEX_UI_STRING(IDS_FILE_ASSOCIATE_ALL, L"All supported image file types");
KORVEX_UI_STRING(IDS_FILE_ASSOCIATE_UNUSED, L"File types not currently used");
KORVEX_UI_STRING(IDS_FILE_ASSOCIATE_NONE, L"None of any file types");
KORVEX_UI_STRING(IDS_ERR_CAPTION, L"Error");
KORVEX_UI_STRING(IDS_ERR_INSTALLED_ALREADY, L"%s is already installed. Would you like to launch it?");
KORVEX_UI_STRING(IDS_ERR_CLIENT_TOO_OLD,
                 L"The version of your client is too old, please click \"OK\" to download the latest client.");
KORVEX_UI_STRING(IDS_ERR_OUT_OF_DISK,
                 L"The disk space required for the installation exceeds available disk space. Check that at "
                 L"least %s MB of disk space is available and try again. For more information, please contact "
                 L"Customer Care.");
KORVEX_UI_STRING(IDS_ERR_CONNECT_DOWNLOAD_SERVER,
                 L"Unable to contact the download server. Check your Internet connection and try again. If the "
                 L"issue persists, please contact Customer Care.");
KORVEX_UI_STRING(IDS_ERR_CREATE_FOLDER_FAILED, L"The specified path %s is unavailable.");
KORVEX_UI_STRING(IDS_CLOSE_RUNNING_APPS,
                 L"The following applications should be closed before continuing the installation:");

// Links, looked up in section "RLINK".
KORVEX_UI_STRING(IDS_RLINK_TERMS, L"https://link.korvexsystems.com/fenwyx-pro/terms");
KORVEX_UI_STRING(IDS_RLINK_SLIDE_SHOW, L"https://link.korvexsystems.com/fenwyx-pro/tour");

#undef KORVEX_UI_STRING
#undef KORVEX_WIDE_TEXT

}  // namespace korvex::config
