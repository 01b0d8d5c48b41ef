#include "DialogTemplateReader.h"

#include <cstring>

namespace {

constexpr uint32_t kSetFont = 0x40;  // DS_SETFONT, also part of DS_SHELLFONT

class TemplateCursor {
public:
    TemplateCursor(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    bool Failed() const { return m_failed; }

    uint16_t Word()
    {
        uint16_t value = 0;
        Copy(&value, sizeof value);
        return value;
    }

    uint32_t Dword()
    {
        uint32_t value = 0;
        Copy(&value, sizeof value);
        return value;
    }

    int16_t Short() { return static_cast<int16_t>(Word()); }

    void Skip(size_t count)
    {
        if (count > m_size - m_offset) {
            m_failed = true;
            return;
        }
        m_offset += count;
    }

    void AlignToDword() { Skip((4 - m_offset % 4) % 4); }

    std::wstring String()
    {
        std::wstring text;
        for (uint16_t unit = Word(); unit != 0 && !m_failed; unit = Word()) text.push_back(static_cast<wchar_t>(unit));
        return text;
    }

    // A name or an ordinal (0xFFFF followed by the number).
    std::wstring NameOrOrdinal(bool predefinedClass)
    {
        const uint16_t first = Word();
        if (first == 0) return {};
        if (first == 0xFFFF) {
            const uint16_t ordinal = Word();
            if (predefinedClass) {
                static const wchar_t* const kClasses[] = {L"Button",  L"Edit",      L"Static",
                                                          L"ListBox", L"ScrollBar", L"ComboBox"};
                if (ordinal >= 0x80 && ordinal <= 0x85) return kClasses[ordinal - 0x80];
            }
            return L"#" + std::to_wstring(ordinal);
        }
        std::wstring text(1, static_cast<wchar_t>(first));
        return text + String();
    }

private:
    void Copy(void* target, size_t count)
    {
        if (m_failed || count > m_size - m_offset) {
            m_failed = true;
            return;
        }
        std::memcpy(target, m_data + m_offset, count);
        m_offset += count;
    }

    const uint8_t* m_data;
    size_t m_size;
    size_t m_offset = 0;
    bool m_failed = false;
};

}  // namespace

std::optional<DialogTemplate> ReadDialogTemplate(const void* data, size_t size)
{
    TemplateCursor cursor(static_cast<const uint8_t*>(data), size);
    DialogTemplate dialog;
    const uint16_t version = cursor.Word();
    const uint16_t signature = cursor.Word();
    if (version != 1 || signature != 0xFFFF) return std::nullopt;
    cursor.Dword();  // help id
    dialog.exStyle = cursor.Dword();
    dialog.style = cursor.Dword();
    const uint16_t itemCount = cursor.Word();
    dialog.x = cursor.Short();
    dialog.y = cursor.Short();
    dialog.cx = cursor.Short();
    dialog.cy = cursor.Short();
    dialog.menu = cursor.NameOrOrdinal(false);
    dialog.className = cursor.NameOrOrdinal(false);
    dialog.title = cursor.String();
    if (dialog.style & kSetFont) {
        dialog.fontPointSize = cursor.Word();
        dialog.fontWeight = cursor.Word();
        cursor.Word();  // italic and character set
        dialog.fontName = cursor.String();
    }
    for (uint16_t index = 0; index < itemCount && !cursor.Failed(); ++index) {
        DialogItemTemplate item;
        cursor.AlignToDword();
        cursor.Dword();  // help id
        item.exStyle = cursor.Dword();
        item.style = cursor.Dword();
        item.x = cursor.Short();
        item.y = cursor.Short();
        item.cx = cursor.Short();
        item.cy = cursor.Short();
        item.id = cursor.Dword();
        item.className = cursor.NameOrOrdinal(true);
        item.text = cursor.NameOrOrdinal(false);
        cursor.Skip(cursor.Word());  // creation data
        dialog.items.push_back(item);
    }
    if (cursor.Failed()) return std::nullopt;
    return dialog;
}
