#pragma once
// Replaces the product's box function while it lives: every box the code
// under test shows is recorded and answered with the chosen button, so
// nothing blocks and nothing goes unnoticed. One recorder at a time; boxes
// may come from any thread.

#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

struct RecordedBox {
    HWND hOwner;
    std::wstring strText;
    std::wstring strCaption;
    UINT nStyle;

    bool operator==(const RecordedBox&) const = default;
};
void PrintTo(const RecordedBox& box, std::ostream* out);

class MessageBoxRecorder {
public:
    explicit MessageBoxRecorder(int nAnswer = IDOK);
    ~MessageBoxRecorder();
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    std::vector<RecordedBox> Boxes() const;
};
