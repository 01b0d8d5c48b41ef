#include <gtest/gtest.h>

#include "mfc/AfxWin.h"
#include "mfc/ThreadState.h"

namespace {

// A plain parent window for controls created in code.
class ControlsFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(
            m_parent.CreateEx(0, AfxRegisterWndClass(0), L"parent", WS_POPUP, 0, 0, 300, 300, nullptr, nullptr));
    }
    CWnd m_parent;
};

}  // namespace

TEST_F(ControlsFixture, ComboBoxItems)
{
    CComboBox combo;
    ASSERT_TRUE(combo.Create(CBS_DROPDOWNLIST | WS_VSCROLL, CRect(0, 0, 120, 200), &m_parent, 10));
    EXPECT_EQ(combo.GetDlgCtrlID(), 10);
    EXPECT_EQ(combo.AddString(L"English"), 0);
    EXPECT_EQ(combo.AddString(L"Deutsch"), 1);
    EXPECT_EQ(combo.InsertString(0,
                                 L"Fran\x00E7"
                                 L"ais"),
              0);
    EXPECT_EQ(combo.GetCount(), 3);
    CString text(L"stale");
    combo.GetLBText(0, text);
    EXPECT_EQ(text,
              L"Fran\x00E7"
              L"ais");
    combo.GetLBText(7, text);
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_EQ(combo.SetItemData(2, 1031), 1);
    EXPECT_EQ(combo.GetItemData(2), 1031u);
    EXPECT_EQ(combo.FindStringExact(-1, L"Deutsch"), 2);
    EXPECT_EQ(combo.SetCurSel(1), 1);
    EXPECT_EQ(combo.GetCurSel(), 1);
    COMBOBOXINFO info = {};
    info.cbSize = sizeof(info);
    EXPECT_TRUE(combo.GetComboBoxInfo(&info));
    EXPECT_NE(info.hwndList, nullptr);
}

TEST_F(ControlsFixture, ListBoxItems)
{
    CListBox list;
    ASSERT_TRUE(list.Create(LBS_NOTIFY, CRect(0, 0, 100, 100), &m_parent, 11));
    list.AddString(L"one");
    list.AddString(L"two");
    CString text;
    list.GetText(1, text);
    EXPECT_EQ(text, L"two");
    list.GetText(5, text);
    EXPECT_TRUE(text.IsEmpty());
    CRect item;
    EXPECT_NE(list.GetItemRect(0, item), LB_ERR);
    EXPECT_GT(item.Height(), 0);
}

TEST_F(ControlsFixture, EditSelectionAndStyles)
{
    CEdit edit;
    ASSERT_TRUE(edit.Create(WS_BORDER | ES_AUTOHSCROLL, CRect(0, 0, 100, 20), &m_parent, 12));
    edit.SetWindowText(L"C:\\Program Files");
    edit.SetSel(3, 10);
    int start = 0, end = 0;
    edit.GetSel(start, end);
    EXPECT_EQ(start, 3);
    EXPECT_EQ(end, 10);
    edit.ReplaceSel(L"X");
    CString text;
    edit.GetWindowText(text);
    EXPECT_EQ(text, L"C:\\X Files");

    EXPECT_TRUE(edit.ModifyStyle(WS_BORDER, ES_READONLY, SWP_FRAMECHANGED));
    EXPECT_FALSE(edit.GetStyle() & WS_BORDER);
    EXPECT_FALSE(edit.ModifyStyle(WS_BORDER, 0));  // nothing left to change
    EXPECT_TRUE(edit.ModifyStyleEx(0, WS_EX_CLIENTEDGE));
    EXPECT_TRUE(edit.GetExStyle() & WS_EX_CLIENTEDGE);
}

TEST_F(ControlsFixture, ButtonCheckAndProgressPosition)
{
    CButton check;
    ASSERT_TRUE(check.Create(L"Accept", BS_AUTOCHECKBOX, CRect(0, 0, 80, 20), &m_parent, 13));
    EXPECT_EQ(check.GetCheck(), BST_UNCHECKED);
    check.SetCheck(BST_CHECKED);
    EXPECT_EQ(check.GetCheck(), BST_CHECKED);
    EXPECT_EQ(check.GetButtonStyle() & BS_TYPEMASK, static_cast<UINT>(BS_AUTOCHECKBOX));

    CProgressCtrl progress;
    ASSERT_TRUE(progress.Create(0, CRect(0, 30, 200, 40), &m_parent, 14));
    progress.SetRange32(0, 1000);
    progress.SetPos(250);
    EXPECT_EQ(progress.GetPos(), 250);
}

TEST_F(ControlsFixture, FontOfAControlIsBorrowed)
{
    CStatic label;
    ASSERT_TRUE(label.Create(L"label", SS_LEFT, CRect(0, 0, 50, 20), &m_parent));
    CFont font;
    ASSERT_TRUE(font.CreatePointFont(100, L"Tahoma"));
    label.SetFont(&font);
    CFont* borrowed = label.GetFont();
    ASSERT_NE(borrowed, nullptr);
    EXPECT_EQ(borrowed->m_hObject, font.m_hObject);
    AfxDeleteTempObjects();
    EXPECT_EQ(::GetObjectType(font.m_hObject), static_cast<DWORD>(OBJ_FONT));
}
