#include <gtest/gtest.h>

#include "mfc/AfxWin.h"

TEST(CString, FormatTakesWideStringsForPercentS)
{
    CString text;
    text.Format(L"%s has %d items (%ls, %c)", L"List", 3, L"wide", L'x');
    EXPECT_EQ(text, L"List has 3 items (wide, x)");
    text.AppendFormat(L" %.2f%%", 12.345);
    EXPECT_EQ(text, L"List has 3 items (wide, x) 12.35%");
}

TEST(CString, FormatOfLongTextIsNotCut)
{
    std::wstring longText(5000, L'a');
    CString text;
    text.Format(L"<%s>", longText.c_str());
    EXPECT_EQ(text.GetLength(), 5002);
    EXPECT_EQ(text.Right(2), L"a>");
}

TEST(CString, SearchAndSlicesStayInsideTheText)
{
    CString text(L"C:\\Program Files\\Korvex\\");
    EXPECT_EQ(text.Find(L'\\'), 2);
    EXPECT_EQ(text.Find(L"Korvex"), 17);
    EXPECT_EQ(text.Find(L"Korvex", 18), -1);
    EXPECT_EQ(text.Find(L'x', 100), -1);
    EXPECT_EQ(text.ReverseFind(L'\\'), 23);
    EXPECT_EQ(text.Left(2), L"C:");
    EXPECT_EQ(text.Left(-1), L"");
    EXPECT_EQ(text.Left(1000), text);
    EXPECT_EQ(text.Right(7), L"Korvex\\");
    EXPECT_EQ(text.Right(1000), text);
    EXPECT_EQ(text.Mid(3, 7), L"Program");
    EXPECT_EQ(text.Mid(1000), L"");
    EXPECT_EQ(text.Mid(20, 1000), L"vex\\");
    EXPECT_EQ(text.Mid(-5, 2), L"C:");
}

TEST(CString, EditingOperations)
{
    CString text(L"  a-b-c \t\r\n");
    EXPECT_EQ(text.Trim(), L"a-b-c");
    EXPECT_EQ(text.Replace(L"-", L"--"), 2);
    EXPECT_EQ(text, L"a--b--c");
    EXPECT_EQ(text.Replace(L'-', L'+'), 4);
    EXPECT_EQ(text.Remove(L'+'), 4);
    EXPECT_EQ(text, L"abc");
    text.Insert(1, L"XY");
    EXPECT_EQ(text, L"aXYbc");
    text.Delete(1, 100);
    EXPECT_EQ(text, L"a");
    EXPECT_EQ(CString(L"Path\\\\").TrimRight(L'\\'), L"Path");
    EXPECT_EQ(CString(L"MiXeD").MakeUpper(), L"MIXED");
    EXPECT_EQ(CString(L"MiXeD").MakeLower(), L"mixed");
    EXPECT_EQ(CString(L"abc").CompareNoCase(L"ABC"), 0);
    EXPECT_LT(CString(L"abc").Compare(L"abd"), 0);
}

TEST(CString, BufferRoundTrip)
{
    CString text;
    wchar_t* buffer = text.GetBuffer(16);
    lstrcpyW(buffer, L"written");
    text.ReleaseBuffer();
    EXPECT_EQ(text.GetLength(), 7);
    EXPECT_EQ(text, L"written");
    text.GetBuffer(3);
    text.ReleaseBuffer(3);
    EXPECT_EQ(text, L"wri");
}

TEST(CString, MissingStringResourceLeavesItEmpty)
{
    CString text(L"before");
    EXPECT_FALSE(text.LoadString(64999));
    EXPECT_TRUE(text.IsEmpty());
}

TEST(CRect, Arithmetic)
{
    CRect rect(10, 20, 110, 70);
    EXPECT_EQ(rect.Width(), 100);
    EXPECT_EQ(rect.Height(), 50);
    EXPECT_EQ(rect.Size(), CSize(100, 50));
    EXPECT_EQ(rect.CenterPoint(), CPoint(60, 45));
    EXPECT_TRUE(rect.PtInRect(CPoint(10, 20)));
    EXPECT_FALSE(rect.PtInRect(CPoint(110, 20)));  // right and bottom edges are outside

    CRect moved = rect + CPoint(5, -5);
    EXPECT_EQ(moved, CRect(15, 15, 115, 65));
    moved -= CPoint(5, -5);
    EXPECT_EQ(moved, rect);

    CRect inset(rect);
    inset.DeflateRect(1, 2);
    EXPECT_EQ(inset, CRect(11, 22, 109, 68));
    inset.InflateRect(1, 2, 3, 4);
    EXPECT_EQ(inset, CRect(10, 20, 112, 72));
    inset.MoveToXY(0, 0);
    EXPECT_EQ(inset, CRect(0, 0, 102, 52));

    EXPECT_EQ(rect & CRect(100, 60, 200, 200), CRect(100, 60, 110, 70));
    EXPECT_TRUE((rect & CRect(500, 500, 600, 600)).IsRectEmpty());
    EXPECT_EQ(rect | CRect(0, 0, 1, 1), CRect(0, 0, 110, 70));

    CRect reversed(5, 5, 0, 0);
    EXPECT_TRUE(reversed.IsRectEmpty());
    reversed.NormalizeRect();
    EXPECT_EQ(reversed, CRect(0, 0, 5, 5));
    EXPECT_TRUE(CRect().IsRectNull());
}

TEST(CPoint, UnpacksSignedMouseCoordinates)
{
    CPoint point(static_cast<LPARAM>(MAKELPARAM(-3, 40)));
    EXPECT_EQ(point, CPoint(-3, 40));
    EXPECT_EQ(point - CPoint(1, 1), CPoint(-4, 39));
    EXPECT_EQ(-point, CPoint(3, -40));
    EXPECT_EQ(CSize(3, 4) + CSize(1, 1), CSize(4, 5));
}
