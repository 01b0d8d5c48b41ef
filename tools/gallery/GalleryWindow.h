#pragma once
// A skinned window holding every toolkit control in its states: image and
// text buttons at rest, hovered, pressed and disabled, check boxes ticked
// and not, labels, edit boxes focused and not, combo boxes closed and open,
// progress bars at 0, 42.5, 100 and 150 %, and slide shows at rest and in
// the middle of a push. The states are set directly, so one paint shows all.
#include <memory>
#include <vector>

#include "base/WinHandles.h"
#include "mfc/AfxWin.h"
#include "ui/KorvexButton.h"
#include "ui/KorvexComboBox.h"
#include "ui/KorvexDialog.h"
#include "ui/KorvexEdit.h"
#include "ui/KorvexProgress.h"
#include "ui/KorvexSliderShowCtrl.h"
#include "ui/KorvexStatic.h"
#include "ui/KorvexTextButton.h"

class GalleryWindow : public CKorvexDialog {
public:
    GalleryWindow();
    ~GalleryWindow() override;

    // Creates and shows the window with every control in its state.
    bool Open();
    // Drops the open combo box's list in front of everything.
    void OpenComboList();

    BOOL OnInitDialog() override;

    // The slide shows' clock stands at this many milliseconds.
    static long long s_nowMs;

private:
    void AddSectionLabel(int y, const wchar_t* text);
    void AddImageButtons(int y);
    void AddTextButtons(int y);
    void AddLabels(int y);
    void AddEdits(int y);
    void AddCombos(int y);
    void AddProgressBars(int y);
    void AddSlideShows(int y);
    CRect Design(int x, int y, int width, int height) const;
    UINT NextId() { return m_nNextId++; }

    UINT m_nNextId = 2000;
    IconHandle m_hIcon;
    std::vector<std::unique_ptr<CKorvexStatic>> m_labels;
    std::vector<std::unique_ptr<CKorvexButton>> m_imageButtons;
    std::vector<std::unique_ptr<CKorvexTextButton>> m_textButtons;
    std::vector<std::unique_ptr<CKorvexEdit>> m_edits;
    std::vector<std::unique_ptr<CKorvexComboBox>> m_combos;
    std::vector<std::unique_ptr<CKorvexProgress>> m_progressBars;
    std::vector<std::unique_ptr<CKorvexSliderShowCtrl>> m_slideShows;
};
