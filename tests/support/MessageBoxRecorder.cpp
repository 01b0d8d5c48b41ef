#include "support/MessageBoxRecorder.h"

#include <gtest/gtest.h>

#include <mutex>

#include "base/UserMessageBox.h"

namespace {

std::mutex g_boxLock;
std::vector<RecordedBox> g_boxes;
int g_nBoxAnswer = IDOK;

int RecordBox(HWND hOwner, const wchar_t* pszText, const wchar_t* pszCaption, UINT nStyle)
{
    std::lock_guard<std::mutex> hold(g_boxLock);
    g_boxes.push_back(RecordedBox{hOwner, pszText ? pszText : L"", pszCaption ? pszCaption : L"", nStyle});
    return g_nBoxAnswer;
}

}  // namespace

MessageBoxRecorder::MessageBoxRecorder(int nAnswer)
{
    std::lock_guard<std::mutex> hold(g_boxLock);
    g_boxes.clear();
    g_nBoxAnswer = nAnswer;
    SetUserMessageBoxFunction(&RecordBox);
}

MessageBoxRecorder::~MessageBoxRecorder()
{
    SetUserMessageBoxFunction(nullptr);
}

void PrintTo(const RecordedBox& box, std::ostream* out)
{
    *out << "box owner " << box.hOwner << " style " << box.nStyle << " caption "
         << testing::PrintToString(box.strCaption) << " text " << testing::PrintToString(box.strText);
}

std::vector<RecordedBox> MessageBoxRecorder::Boxes() const
{
    std::lock_guard<std::mutex> hold(g_boxLock);
    return g_boxes;
}
