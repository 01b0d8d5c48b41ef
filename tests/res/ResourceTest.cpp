// Checks the resources inside the built executable, read the way Windows
// reads them: templates, PNG pictures, icon, manifest and version.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <gdiplus.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "DialogTemplateReader.h"
#include "base/GdiplusHandles.h"
#include "base/WinHandles.h"
#include "resource.h"

namespace {

// Code elsewhere refers to these numbers (DpiImageId adds 0 to 3 to a base).
static_assert(IDI_KORVEXMASTERINSTALLER == 101);
static_assert(IDD_SETTING_PANEL == 137 && IDD_INSTALL_GUIDE == 139 && IDD_STATUS_PANEL == 142 &&
              IDD_SUCCESS_PANEL == 149 && IDD_CLIENT_VALIDATOR == 172);
static_assert(IDC_BTN_INSTALL == 133 && IDC_CHK_ACCEPT_TERMS == 134 && IDC_LBL_ACCEPT_TERMS == 135 &&
              IDC_LBL_INSTALL_SETTINGS == 136 && IDC_BTN_EXPANDER == 138 && IDC_LBL_INSTALL_FOLDER == 140 &&
              IDC_EDT_INSTALL_FOLDER == 143 && IDC_BTN_BROWSE == 148 && IDC_LNK_LICENSE_TERMS == 152);
static_assert(IDC_PROGRESS_BAR == 105 && IDC_LBL_STATUS == 122 && IDC_LBL_PERCENT == 123 && IDC_SLIDE_SHOW == 170 &&
              IDC_LBL_TIME == 173 && IDC_VALIDATOR_PROGRESS == 171);
static_assert(IDB_CLOSE == 106 && IDB_CLOSE_200 == 109 && IDB_MINIMIZE == 110 && IDB_MAXIMIZE == 114 &&
              IDB_RESTORE == 118 && IDB_RESTORE_200 == 121 && IDB_WORDMARK == 129 && IDB_WORDMARK_200 == 132 &&
              IDB_COMBO_ARROW == 144 && IDB_CHECK_ON == 153 && IDB_CHECK_OFF == 157 && IDB_CHEVRON_UP == 161 &&
              IDB_CHEVRON_DOWN == 165 && IDB_CHEVRON_DOWN_200 == 168);

std::wstring Widen(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

// CMake hands over the Linux path; Wine shows the root as drive Z:.
std::wstring ModulePath()
{
    std::wstring path = Widen(KORVEX_RESOURCE_MODULE);
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path.front() == L'\\' ? L"Z:" + path : path;
}

HMODULE Module()
{
    static const ModuleHandle module(
        LoadLibraryExW(ModulePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    return module.get();
}

struct Bytes {
    const uint8_t* data = nullptr;
    size_t size = 0;
};

std::optional<Bytes> FindBytes(LPCWSTR type, UINT id)
{
    HRSRC found = FindResourceW(Module(), MAKEINTRESOURCEW(id), type);
    if (!found) return std::nullopt;
    HGLOBAL loaded = LoadResource(Module(), found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return std::nullopt;
    return Bytes{static_cast<const uint8_t*>(data), SizeofResource(Module(), found)};
}

// --- dialog templates ---

struct ControlSpec {
    uint32_t id;
    const wchar_t* className;
    const wchar_t* text;
    uint32_t style;  // bits that must be set besides WS_CHILD | WS_VISIBLE
    RECT place{};    // x, y, width, height in dialog units where they are fixed
};

struct DialogSpec {
    UINT id;
    int16_t cx, cy;
    uint32_t style;
    const wchar_t* className;
    std::vector<ControlSpec> controls;
};

constexpr uint32_t kTopLevel = DS_SETFONT | DS_MODALFRAME | DS_FIXEDSYS | WS_POPUP | WS_CAPTION | WS_SYSMENU;
// Pages carry a caption and a modal frame that they remove when they start.
constexpr uint32_t kPage = DS_SETFONT | DS_MODALFRAME | DS_FIXEDSYS | WS_CHILD | WS_CAPTION;

// Window class names are case-insensitive, and the resource compiler
// upper-cases the ones it writes.
::testing::AssertionResult SameClass(const wchar_t* actual, const wchar_t* expected)
{
    if (CompareStringOrdinal(actual, -1, expected, -1, TRUE) == CSTR_EQUAL) return ::testing::AssertionSuccess();
    const std::wstring text(actual);
    return ::testing::AssertionFailure() << "class " << std::string(text.begin(), text.end());
}

const std::vector<DialogSpec>& Dialogs()
{
    static const std::vector<DialogSpec> dialogs = {
        {137,
         427,
         284,
         kPage,
         L"",
         {{133, L"Button", L"Button1", 0},
          {134, L"Button", L"", 0},
          {135, L"Static", L"I accept the", 0},
          {152, L"Static", L"License Terms", SS_NOTIFY | WS_TABSTOP},
          {136, L"Static", L"Installation settings", SS_NOTIFY},
          {138, L"Button", L"Button3", 0},
          {140, L"Static", L"Installation folder:", 0},
          {143, L"Edit", L"", 0},
          {148, L"Button", L"...", 0}}},
        {139, 523, 262, kTopLevel, L"KorvexMasterInstallerClassName", {}},
        {142,
         309,
         176,
         kPage,
         L"",
         {{122, L"Static", L"Downloading...", 0},
          {173, L"Static", L"Calculating Remaning Time...", 0},
          {123, L"Static", L"", 0}}},
        {149, 309, 176, kPage, L"", {{IDOK, L"Button", L"OK", BS_DEFPUSHBUTTON}}},
        {172, 269, 66, kTopLevel, L"", {{171, L"msctls_progress32", L"", PBS_MARQUEE, {25, 27, 228, 12}}}},
    };
    return dialogs;
}

TEST(DialogTemplates, MatchTheWindowsThatUseThem)
{
    ASSERT_NE(Module(), nullptr) << "cannot load " << KORVEX_RESOURCE_MODULE;
    for (const DialogSpec& spec : Dialogs()) {
        SCOPED_TRACE("dialog " + std::to_string(spec.id));
        const std::optional<Bytes> bytes = FindBytes(RT_DIALOG, spec.id);
        ASSERT_TRUE(bytes);
        const std::optional<DialogTemplate> dialog = ReadDialogTemplate(bytes->data, bytes->size);
        ASSERT_TRUE(dialog);
        EXPECT_EQ(dialog->cx, spec.cx);
        EXPECT_EQ(dialog->cy, spec.cy);
        EXPECT_EQ(dialog->style, spec.style);
        EXPECT_TRUE(SameClass(dialog->className.c_str(), spec.className));
        EXPECT_EQ(dialog->title, L"");
        EXPECT_EQ(dialog->fontPointSize, 8);
        EXPECT_EQ(dialog->fontName, L"MS Shell Dlg");
        ASSERT_EQ(dialog->items.size(), spec.controls.size());
        for (size_t index = 0; index < spec.controls.size(); ++index) {
            const ControlSpec& expected = spec.controls[index];
            const DialogItemTemplate& item = dialog->items[index];
            SCOPED_TRACE("control " + std::to_string(expected.id));
            EXPECT_EQ(item.id, expected.id);
            EXPECT_TRUE(SameClass(item.className.c_str(), expected.className));
            EXPECT_EQ(item.text, expected.text);
            const uint32_t required = expected.style | WS_CHILD | WS_VISIBLE;
            EXPECT_EQ(item.style & required, required);
            if (expected.place.right) {
                EXPECT_EQ(item.x, expected.place.left);
                EXPECT_EQ(item.y, expected.place.top);
                EXPECT_EQ(item.cx, expected.place.right);
                EXPECT_EQ(item.cy, expected.place.bottom);
            }
        }
    }
}

INT_PTR CALLBACK QuietDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

// Every template becomes a real window with real controls, and the client area
// is the template size in dialog units.
TEST(DialogTemplates, CreateRealWindows)
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
    ASSERT_TRUE(InitCommonControlsEx(&controls));
    // The main window's class is the dialog class under the product's name.
    WNDCLASSW dialogClass{};
    ASSERT_TRUE(GetClassInfoW(nullptr, MAKEINTRESOURCEW(32770), &dialogClass));
    dialogClass.hInstance = GetModuleHandleW(nullptr);
    dialogClass.lpszClassName = L"KorvexMasterInstallerClassName";
    ASSERT_TRUE(RegisterClassW(&dialogClass) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS);

    const WindowHandle host(
        CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr, nullptr, nullptr));
    ASSERT_NE(host.get(), nullptr);
    for (const DialogSpec& spec : Dialogs()) {
        SCOPED_TRACE("dialog " + std::to_string(spec.id));
        const std::optional<Bytes> bytes = FindBytes(RT_DIALOG, spec.id);
        ASSERT_TRUE(bytes);
        const HWND parent = (spec.style & WS_CHILD) ? host.get() : nullptr;
        const WindowHandle dialog(CreateDialogIndirectParamW(
            GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(bytes->data), parent, QuietDialogProc, 0));
        ASSERT_NE(dialog.get(), nullptr) << "error " << GetLastError();
        wchar_t className[64] = L"";
        GetClassNameW(dialog.get(), className, 64);
        EXPECT_STREQ(className, *spec.className ? spec.className : L"#32770");
        RECT expected{0, 0, spec.cx, spec.cy};
        ASSERT_TRUE(MapDialogRect(dialog.get(), &expected));
        RECT client{};
        GetClientRect(dialog.get(), &client);
        EXPECT_EQ(client.right, expected.right);
        EXPECT_EQ(client.bottom, expected.bottom);
        for (const ControlSpec& control : spec.controls) {
            const HWND child = GetDlgItem(dialog.get(), static_cast<int>(control.id));
            ASSERT_NE(child, nullptr) << "control " << control.id;
            GetClassNameW(child, className, 64);
            EXPECT_TRUE(SameClass(className, control.className)) << "control " << control.id;
        }
    }
}

// --- PNG pictures ---

struct PictureSpec {
    UINT baseId;
    const char* name;
    SIZE sizes[4];  // 100, 125, 150 and 200 %
};

const PictureSpec kPictures[] = {
    {106, "close", {{16, 16}, {20, 20}, {24, 24}, {32, 32}}},
    {110, "minimize", {{16, 16}, {20, 20}, {24, 24}, {32, 32}}},
    {114, "maximize", {{16, 16}, {20, 20}, {24, 24}, {32, 32}}},
    {118, "restore", {{16, 16}, {20, 20}, {24, 24}, {32, 32}}},
    {129, "wordmark", {{161, 26}, {202, 33}, {242, 39}, {321, 52}}},
    {144, "combo arrow", {{42, 14}, {54, 18}, {63, 21}, {84, 28}}},
    {153, "check box ticked", {{16, 16}, {20, 20}, {24, 24}, {32, 32}}},
    {157, "check box unticked", {{16, 16}, {20, 20}, {24, 24}, {32, 32}}},
    {161, "chevron up", {{14, 8}, {17, 11}, {21, 12}, {28, 16}}},
    {165, "chevron down", {{14, 8}, {17, 11}, {21, 12}, {28, 16}}},
};

uint32_t BigEndian32(const uint8_t* bytes)
{
    return (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) | (uint32_t{bytes[2]} << 8) | bytes[3];
}

struct PngHeader {
    uint32_t width = 0, height = 0;
    uint8_t bitDepth = 0, colourType = 0, interlace = 0;
    std::vector<std::string> chunks;
};

// The header and the chunk list; empty when the chunk structure is broken.
std::optional<PngHeader> ReadPngHeader(const Bytes& png)
{
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (png.size < 8 || std::memcmp(png.data, kSignature, 8) != 0) return std::nullopt;
    PngHeader header;
    for (size_t offset = 8; offset < png.size;) {
        if (png.size - offset < 12) return std::nullopt;
        const uint32_t length = BigEndian32(png.data + offset);
        if (length > png.size - offset - 12) return std::nullopt;
        const std::string type(reinterpret_cast<const char*>(png.data + offset + 4), 4);
        if (type == "IHDR" && length == 13) {
            const uint8_t* body = png.data + offset + 8;
            header.width = BigEndian32(body);
            header.height = BigEndian32(body + 4);
            header.bitDepth = body[8];
            header.colourType = body[9];
            header.interlace = body[12];
        }
        header.chunks.push_back(type);
        offset += 12 + length;
    }
    return header;
}

// Straight (not premultiplied) ARGB pixels as GDI+, the product's decoder, reads them.
struct Picture {
    int width = 0, height = 0;
    std::vector<uint32_t> argb;
    uint32_t At(int x, int y) const { return argb[static_cast<size_t>(y) * width + x]; }
    static int Alpha(uint32_t pixel) { return pixel >> 24; }
    static int Brightness(uint32_t pixel) { return ((pixel >> 16 & 0xFF) + (pixel >> 8 & 0xFF) + (pixel & 0xFF)) / 3; }
};

std::optional<Picture> Decode(const Bytes& png)
{
    static const GdiplusToken gdiplus = StartGdiplus();
    IStream* stream = gdiplus ? SHCreateMemStream(png.data, static_cast<UINT>(png.size)) : nullptr;
    if (!stream) return std::nullopt;
    std::optional<Picture> picture;
    {
        Gdiplus::Bitmap bitmap(stream);
        if (bitmap.GetLastStatus() == Gdiplus::Ok) {
            picture.emplace();
            picture->width = static_cast<int>(bitmap.GetWidth());
            picture->height = static_cast<int>(bitmap.GetHeight());
            for (int y = 0; y < picture->height; ++y)
                for (int x = 0; x < picture->width; ++x) {
                    Gdiplus::Color colour;
                    bitmap.GetPixel(x, y, &colour);
                    picture->argb.push_back(colour.GetValue());
                }
        }
    }
    stream->Release();
    return picture;
}

std::optional<Picture> DecodeResource(UINT id)
{
    const std::optional<Bytes> bytes = FindBytes(L"PNG", id);
    return bytes ? Decode(*bytes) : std::nullopt;
}

TEST(PngResources, FourSizesOfEveryPictureAre32BitWithAlpha)
{
    ASSERT_NE(Module(), nullptr) << "cannot load " << KORVEX_RESOURCE_MODULE;
    for (const PictureSpec& spec : kPictures) {
        for (UINT step = 0; step < 4; ++step) {
            const UINT id = spec.baseId + step;
            SCOPED_TRACE(std::string(spec.name) + ", id " + std::to_string(id));
            const std::optional<Bytes> bytes = FindBytes(L"PNG", id);
            ASSERT_TRUE(bytes);
            const std::optional<PngHeader> header = ReadPngHeader(*bytes);
            ASSERT_TRUE(header);
            EXPECT_EQ(header->width, static_cast<uint32_t>(spec.sizes[step].cx));
            EXPECT_EQ(header->height, static_cast<uint32_t>(spec.sizes[step].cy));
            EXPECT_EQ(header->bitDepth, 8);
            EXPECT_EQ(header->colourType, 6);  // RGBA
            EXPECT_EQ(header->interlace, 0);
            // Nothing but pixels: a gamma or colour-space chunk shifts colours in some decoders.
            for (const std::string& chunk : header->chunks)
                EXPECT_TRUE(chunk == "IHDR" || chunk == "IDAT" || chunk == "IEND") << chunk;
            ASSERT_FALSE(header->chunks.empty());
            EXPECT_EQ(header->chunks.front(), "IHDR");
            EXPECT_EQ(header->chunks.back(), "IEND");

            const std::optional<Picture> picture = Decode(*bytes);
            ASSERT_TRUE(picture);
            EXPECT_EQ(picture->width, spec.sizes[step].cx);
            EXPECT_EQ(picture->height, spec.sizes[step].cy);
            // Drawn over other colours: the corner is see-through, the shape is solid.
            EXPECT_EQ(Picture::Alpha(picture->At(0, 0)), 0);
            int strongest = 0;
            for (uint32_t pixel : picture->argb) strongest = std::max(strongest, Picture::Alpha(pixel));
            EXPECT_GE(strongest, 200);
        }
    }
}

TEST(PngResources, ComboArrowFramesAreDarkBrightDim)
{
    for (UINT id = IDB_COMBO_ARROW; id <= IDB_COMBO_ARROW_200; ++id) {
        SCOPED_TRACE("id " + std::to_string(id));
        const std::optional<Picture> strip = DecodeResource(id);
        ASSERT_TRUE(strip);
        ASSERT_EQ(strip->width, 3 * strip->height);
        int brightest[3] = {0, 0, 0};
        for (int frame = 0; frame < 3; ++frame)
            for (int y = 0; y < strip->height; ++y)
                for (int x = 0; x < strip->height; ++x) {
                    const uint32_t pixel = strip->At(frame * strip->height + x, y);
                    if (Picture::Alpha(pixel) >= 128)
                        brightest[frame] = std::max(brightest[frame], Picture::Brightness(pixel));
                }
        EXPECT_GT(brightest[0], 0);
        EXPECT_LT(brightest[0], brightest[2]);
        EXPECT_LT(brightest[2], brightest[1]);
    }
}

// Mean horizontal distance of a row's ink from the middle, in pixels.
double InkSpread(const Picture& picture, int y)
{
    double weighted = 0, total = 0;
    for (int x = 0; x < picture.width; ++x) {
        const int alpha = Picture::Alpha(picture.At(x, y));
        weighted += alpha * std::abs(x + 0.5 - picture.width / 2.0);
        total += alpha;
    }
    return total > 0 ? weighted / total : -1;
}

TEST(PngResources, ChevronsPointUpAndDown)
{
    for (UINT step = 0; step < 4; ++step) {
        SCOPED_TRACE("step " + std::to_string(step));
        for (const UINT id : {IDB_CHEVRON_UP + step, IDB_CHEVRON_DOWN + step}) {
            const std::optional<Picture> chevron = DecodeResource(id);
            ASSERT_TRUE(chevron);
            std::vector<int> inkedRows;
            for (int y = 0; y < chevron->height; ++y)
                if (InkSpread(*chevron, y) >= 0) inkedRows.push_back(y);
            ASSERT_GE(inkedRows.size(), 3u);
            const double top = InkSpread(*chevron, inkedRows.front());
            const double bottom = InkSpread(*chevron, inkedRows.back());
            // An upward chevron meets at the top, a downward one at the bottom.
            if (id < IDB_CHEVRON_DOWN)
                EXPECT_LT(top, bottom);
            else
                EXPECT_GT(top, bottom);
        }
    }
}

TEST(PngResources, TickedBoxIsFilledUntickedIsAnOutline)
{
    for (UINT step = 0; step < 4; ++step) {
        const std::optional<Picture> ticked = DecodeResource(IDB_CHECK_ON + step);
        const std::optional<Picture> unticked = DecodeResource(IDB_CHECK_OFF + step);
        ASSERT_TRUE(ticked && unticked);
        const int edge = ticked->width / 4;  // inside the box, away from the tick
        const uint32_t face = ticked->At(edge, ticked->height - 1 - edge / 2);
        EXPECT_EQ(Picture::Alpha(face), 255);
        EXPECT_GT(face & 0xFF, (face >> 16) & 0xFF);  // blue over red
        EXPECT_EQ(Picture::Alpha(unticked->At(unticked->width / 2, unticked->height / 2)), 0);
        EXPECT_GT(Picture::Alpha(unticked->At(unticked->width / 2, unticked->width / 16)), 128);  // top edge
    }
}

// --- icon, manifest, version ---

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

TEST(Icon, HoldsEverySizeTheWindowsDraw)
{
    const std::optional<Bytes> group = FindBytes(RT_GROUP_ICON, IDI_KORVEXMASTERINSTALLER);
    ASSERT_TRUE(group);
    ASSERT_GE(group->size, 6u);
    WORD count = 0;
    std::memcpy(&count, group->data + 4, 2);
    ASSERT_EQ(group->size, 6u + count * sizeof(GroupIconEntry));
    std::vector<int> sizes;
    for (WORD index = 0; index < count; ++index) {
        GroupIconEntry entry{};
        std::memcpy(&entry, group->data + 6 + index * sizeof entry, sizeof entry);
        const int size = entry.width ? entry.width : 256;
        sizes.push_back(size);
        EXPECT_EQ(entry.bitCount, 32) << size;
        const std::optional<Bytes> image = FindBytes(RT_ICON, entry.id);
        ASSERT_TRUE(image) << size;
        EXPECT_EQ(image->size, entry.bytes) << size;
    }
    // Caption (16 to 32), page picture (64 to 128 by DPI), shell views (48, 256).
    for (int wanted : {16, 20, 24, 32, 48, 64, 80, 96, 128, 256})
        EXPECT_NE(std::find(sizes.begin(), sizes.end(), wanted), sizes.end()) << wanted;

    // Small sizes are bitmaps, large ones PNG: both must load at their own size.
    for (int wanted : {16, 32, 64, 128}) {
        const IconHandle icon(static_cast<HICON>(
            LoadImageW(Module(), MAKEINTRESOURCEW(IDI_KORVEXMASTERINSTALLER), IMAGE_ICON, wanted, wanted, 0)));
        ASSERT_NE(icon.get(), nullptr) << wanted;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon.get(), &info)) << wanted;
        const GdiBitmap colourBitmap(info.hbmColor), maskBitmap(info.hbmMask);
        BITMAP colour{};
        GetObjectW(colourBitmap.get(), sizeof colour, &colour);
        EXPECT_EQ(colour.bmWidth, wanted);
        EXPECT_EQ(colour.bmHeight, wanted);
    }
}

TEST(Manifest, AsksForAdministratorDpiAwarenessAndCommonControls6)
{
    const std::optional<Bytes> bytes = FindBytes(RT_MANIFEST, 1);
    ASSERT_TRUE(bytes);
    const std::string manifest(reinterpret_cast<const char*>(bytes->data), bytes->size);
    EXPECT_NE(manifest.find("<requestedExecutionLevel level=\"requireAdministrator\""), std::string::npos);
    EXPECT_NE(manifest.find(">true</dpiAware>"), std::string::npos);
    EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
    // The system's own reader must accept it, or the program would not start.
    const std::wstring path = ModulePath();
    ACTCTXW context{};
    context.cbSize = sizeof context;
    context.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    context.lpSource = path.c_str();
    context.lpResourceName = MAKEINTRESOURCEW(1);
    HANDLE activation = CreateActCtxW(&context);
    ASSERT_NE(activation, INVALID_HANDLE_VALUE) << "error " << GetLastError();
    ReleaseActCtx(activation);
}

std::wstring VersionString(const std::vector<uint8_t>& block, const wchar_t* name)
{
    void* value = nullptr;
    UINT length = 0;
    const std::wstring key = std::wstring(L"\\StringFileInfo\\040904b0\\") + name;
    if (!VerQueryValueW(block.data(), key.c_str(), &value, &length) || !value) return {};
    return static_cast<const wchar_t*>(value);
}

TEST(VersionInfo, NamesTheProductAndItsVersion)
{
    const std::wstring path = ModulePath();
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), nullptr);
    ASSERT_GT(size, 0u);
    std::vector<uint8_t> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    unsigned major = 0, minor = 0, patch = 0, tweak = 0;
    ASSERT_EQ(std::sscanf(KORVEX_EXPECTED_VERSION, "%u.%u.%u.%u", &major, &minor, &patch, &tweak), 4);
    EXPECT_EQ(fixed->dwProductVersionMS, major << 16 | minor);
    EXPECT_EQ(fixed->dwProductVersionLS, patch << 16 | tweak);
    EXPECT_EQ(fixed->dwFileVersionMS, fixed->dwProductVersionMS);
    EXPECT_EQ(fixed->dwFileVersionLS, fixed->dwProductVersionLS);
    EXPECT_EQ(VersionString(block, L"ProductName"), L"Fenwyx Pro");
    EXPECT_EQ(VersionString(block, L"ProductVersion"), Widen(KORVEX_EXPECTED_VERSION));
    EXPECT_EQ(VersionString(block, L"FileVersion"), Widen(KORVEX_EXPECTED_VERSION));
    EXPECT_EQ(VersionString(block, L"OriginalFilename"), L"KorvexMasterInstaller.exe");
}

}  // namespace
