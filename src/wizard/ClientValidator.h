#pragma once
// The small "Preparing..." window start-up runs before the wizard. While a
// marquee runs, a background task asks the download server whether this
// client may install the current release and acts on the answer: go on,
// offer the installed product, or fetch a newer client to start at exit
// once its signature passes the check of ClientCheck.h. The
// user cannot close the window; the task closes it and leaves its verdict in
// m_outcome. When the wizard follows, the window stays until the wizard's
// drawing is ready (a few seconds at most), so the wizard shows at once.

#include <atomic>
#include <thread>
#include <optional>
#include <string>

#include "base/WinHandles.h"
#include "ui/KorvexDialog.h"

enum ClientCheckOutcome : int {
    Proceed = 0,
    Stop = 1,
    RunNewClient = 2,
};

class CClientValidator : public CKorvexDialog {
public:
    // Constructed at program load with the application object: it touches
    // nothing then (start-up opens the HTTP session before it runs).
    CClientValidator();
    // Waits for the task.
    ~CClientValidator() override;

    BOOL OnInitDialog() override;
    void LayoutClient(const CRect& client) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    void ApplyTheme() override;

    // The background task's body.
    void ValidatorTask();

    std::wstring m_strTitle;
    CProgressCtrl m_progress;
    std::thread m_task;
    std::wstring m_newClientPath;
    // The downloaded client, held open from its check until it is started.
    FileHandle m_newClientFile;
    ClientCheckOutcome m_outcome = Proceed;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    // The window's own keys and the caption never end it: only the task's
    // close, once its verdict stands.
    void OnOK() override;
    void OnCancel() override;
    void OnClose();
    void OnTimer(UINT_PTR id);
    BOOL OnEraseBkgnd(CDC* dc);
    DECLARE_MESSAGE_MAP()

private:
    // Shows what the verdict calls for and sets m_outcome.
    void ActOnVerdict(int verdict);

    std::atomic<bool> m_bVerdictReady{false};
    // When the window began to wait for the wizard's drawing (tick count).
    std::optional<DWORD> m_drawingWaitStart;
};
