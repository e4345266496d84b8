// Reads the compiled resources of Update.exe from the code-less resource module and compares
// every field with what the program needs: a resource compiler that adds a style, changes a
// class name, drops a line feed or loses a string shows up here.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "BuiltInTexts.h"
#include "DialogTemplate.h"
#include "resource.h"

using dialogtest::DialogControl;
using dialogtest::DialogTemplate;
using dialogtest::NameOrOrdinal;

namespace {

const WORD kEnglishUs = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
// The script names every control class, the system ones included, and the compiled templates
// keep those names as written.
const NameOrOrdinal kButton = NameOrOrdinal::Text("Button");
const NameOrOrdinal kEdit = NameOrOrdinal::Text("Edit");
const NameOrOrdinal kStatic = NameOrOrdinal::Text("Static");
const DWORD kNoId = 0xFFFFFFFF;  // -1 in an extended template
const DWORD kNoShortId = 0xFFFF; // -1 in a classic template

struct Bytes {
    const BYTE* data = nullptr;
    DWORD size = 0;
};

class ResourceTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        char path[MAX_PATH];
        DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string file(path, length);
        file = file.substr(0, file.find_last_of('\\') + 1) + QUILL_RESOURCE_MODULE;
        module_ = LoadLibraryExA(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }

    static void TearDownTestSuite() {
        if (module_ != nullptr) {
            FreeLibrary(module_);
        }
        module_ = nullptr;
    }

    void SetUp() override { ASSERT_NE(module_, nullptr) << "resource module not loaded"; }

    // The US English resource of that type and id; empty when there is none.
    static Bytes Find(LPCSTR type, WORD id) {
        HRSRC found = FindResourceExA(module_, type, MAKEINTRESOURCEA(id), kEnglishUs);
        if (found == nullptr) {
            return {};
        }
        HGLOBAL loaded = LoadResource(module_, found);
        return {static_cast<const BYTE*>(LockResource(loaded)), SizeofResource(module_, found)};
    }

    static DialogTemplate Dialog(WORD id) {
        Bytes bytes = Find(RT_DIALOG, id);
        EXPECT_NE(bytes.data, nullptr) << "dialog " << id << " missing";
        std::string error;
        auto dialog = dialogtest::ParseDialogTemplate(bytes.data, bytes.size, error);
        EXPECT_TRUE(dialog.has_value()) << error;
        return dialog.value_or(DialogTemplate{});
    }

    static HMODULE module_;
};

HMODULE ResourceTest::module_ = nullptr;

void ExpectControls(const std::vector<DialogControl>& expected,
                    const std::vector<DialogControl>& actual) {
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE("control " + std::to_string(i + 1));
        const DialogControl& want = expected[i];
        const DialogControl& got = actual[i];
        EXPECT_EQ(got.windowClass, want.windowClass);
        EXPECT_EQ(got.text, want.text);
        EXPECT_EQ(got.id, want.id);
        EXPECT_EQ(got.x, want.x);
        EXPECT_EQ(got.y, want.y);
        EXPECT_EQ(got.cx, want.cx);
        EXPECT_EQ(got.cy, want.cy);
        EXPECT_EQ(got.style, want.style)
            << std::hex << "style 0x" << got.style << " instead of 0x" << want.style;
        EXPECT_EQ(got.exStyle, want.exStyle);
        EXPECT_EQ(got.helpId, 0u);
        EXPECT_EQ(got.creationDataSize, 0u);
    }
}

DialogControl Control(NameOrOrdinal windowClass, NameOrOrdinal text, DWORD id, short x, short y,
                      short cx, short cy, DWORD style) {
    // help id, extended style, style, position, size, id, class, text, creation data
    return {0, 0, WS_CHILD | WS_VISIBLE | style, x, y, cx, cy, id, windowClass, text, 0};
}

// Both dialogs lie at (0, 0) with no menu, no class of their own and an 8-point MS Sans Serif.
DialogTemplate Frame(bool extended, DWORD style, DWORD exStyle, short cx, short cy,
                     const char* title) {
    DialogTemplate dialog;
    dialog.extended = extended;
    dialog.style = style;
    dialog.exStyle = exStyle;
    dialog.cx = cx;
    dialog.cy = cy;
    dialog.title = title;
    dialog.pointSize = 8;
    dialog.charset = extended ? DEFAULT_CHARSET : 0;
    dialog.typeface = "MS Sans Serif";
    return dialog;
}

void ExpectFrame(const DialogTemplate& want, const DialogTemplate& got) {
    EXPECT_EQ(got.extended, want.extended);
    EXPECT_EQ(got.helpId, 0u);
    EXPECT_EQ(got.style, want.style) << std::hex << "style 0x" << got.style;
    EXPECT_EQ(got.exStyle, want.exStyle);
    EXPECT_EQ(got.x, 0);
    EXPECT_EQ(got.y, 0);
    EXPECT_EQ(got.cx, want.cx);
    EXPECT_EQ(got.cy, want.cy);
    EXPECT_EQ(got.menu, NameOrOrdinal::Text(""));
    EXPECT_EQ(got.windowClass, NameOrOrdinal::Text(""));
    EXPECT_EQ(got.title, want.title);
    EXPECT_EQ(got.pointSize, want.pointSize);
    EXPECT_EQ(got.weight, 0);
    EXPECT_EQ(got.italic, 0);
    EXPECT_EQ(got.charset, want.charset);
    EXPECT_EQ(got.typeface, want.typeface);
}

TEST_F(ResourceTest, UpdateDialogIsAnExtendedVisibleTemplateWithATaskBarButton) {
    ExpectFrame(Frame(true,
                      WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT,
                      WS_EX_APPWINDOW, 343, 162, "Update"),
                Dialog(IDD_UPDATE_DIALOG));
}

TEST_F(ResourceTest, UpdateDialogControlsInTabOrder) {
    const std::vector<DialogControl> expected = {
        Control(kButton, NameOrOrdinal::Text("Patch!"), IDOK, 131, 141, 205, 14,
                WS_TABSTOP | BS_DEFPUSHBUTTON),
        Control(NameOrOrdinal::Text("msctls_progress32"), NameOrOrdinal::Text("Progress1"),
                IDC_PROGRESS, 137, 114, 194, 12, WS_BORDER),
        Control(kButton, NameOrOrdinal::Text("Patch progress:"), IDC_STATUS, 131, 102, 205, 34,
                BS_GROUPBOX),
        Control(kEdit, NameOrOrdinal::Text(""), IDC_LOG, 131, 10, 205, 85,
                WS_BORDER | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_READONLY),
        Control(kStatic, NameOrOrdinal::Ordinal(IDB_PICTURE), kNoId, 7, 7, 119, 148, SS_BITMAP),
    };
    ExpectControls(expected, Dialog(IDD_UPDATE_DIALOG).controls);
}

TEST_F(ResourceTest, AboutBoxIsAClassicTemplateHiddenAtCreation) {
    ExpectFrame(Frame(false, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, 0,
                      235, 55, "About Update"),
                Dialog(IDD_ABOUTBOX));
}

TEST_F(ResourceTest, AboutBoxControls) {
    const std::vector<DialogControl> expected = {
        Control(kStatic, NameOrOrdinal::Ordinal(IDR_MAINFRAME), kNoShortId, 11, 17, 20, 20,
                SS_ICON),
        Control(kStatic,
                NameOrOrdinal::Text("Update - Version 1.0\n\n\nUses Ferrule Patch 5.20(r)(tm) "
                                    "from Ferrule Software"),
                kNoShortId, 40, 9, 133, 36, WS_GROUP | SS_NOPREFIX | SS_LEFT),
        Control(kButton, NameOrOrdinal::Text("OK"), IDOK, 178, 7, 50, 14,
                WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON),
    };
    ExpectControls(expected, Dialog(IDD_ABOUTBOX).controls);
}

// Every number the string table can ask for: the built-in ones word for word, all others absent.
TEST_F(ResourceTest, StringsAreExactlyTheBuiltInTexts) {
    for (UINT id = 0; id < 400; ++id) {
        SCOPED_TRACE("string " + std::to_string(id));
        char buffer[1024];
        int length = LoadStringA(module_, id, buffer, sizeof buffer);
        if (!HasBuiltInText(static_cast<int>(id))) {
            EXPECT_EQ(length, 0);
        } else {
            EXPECT_EQ(std::string(buffer, length > 0 ? length : 0),
                      ExpectedBuiltInText(static_cast<int>(id)));
        }
    }
}

// VerQueryValueA needs room behind the block for its ANSI copies, as GetFileVersionInfoA gives.
std::vector<BYTE> VersionBlock(const Bytes& resource) {
    std::vector<BYTE> block(resource.size * 3, 0);
    std::memcpy(block.data(), resource.data, resource.size);
    return block;
}

TEST_F(ResourceTest, VersionFixedPart) {
    Bytes resource = Find(RT_VERSION, VS_VERSION_INFO);
    ASSERT_NE(resource.data, nullptr);
    std::vector<BYTE> block = VersionBlock(resource);
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&info), &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(info->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(info->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(info->dwFileVersionLS, 0x00000001u);
    EXPECT_EQ(info->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(info->dwProductVersionLS, 0x00000001u);
    EXPECT_EQ(info->dwFileFlagsMask, 0x3Fu);
    EXPECT_EQ(info->dwFileFlags, 0u);
    EXPECT_EQ(info->dwFileOS, DWORD(VOS__WINDOWS32));
    EXPECT_EQ(info->dwFileType, DWORD(VFT_APP));
    EXPECT_EQ(info->dwFileSubtype, 0u);
}

TEST_F(ResourceTest, VersionStringsAndTranslation) {
    struct Entry {
        const char* name;
        const char* value;
    };
    const Entry expected[] = {
        {"Comments", ""},
        {"FileDescription", "Update.exe"},
        {"FileVersion", "1, 0, 0, 1"},
        {"InternalName", "Update.exe"},
        {"LegalTrademarks", ""},
        {"OriginalFilename", "Update.exe"},
        {"PrivateBuild", ""},
        {"ProductName", "Update Application"},
        {"ProductVersion", "1, 0, 0, 1"},
        {"SpecialBuild", ""},
    };
    Bytes resource = Find(RT_VERSION, VS_VERSION_INFO);
    ASSERT_NE(resource.data, nullptr);
    std::vector<BYTE> block = VersionBlock(resource);
    for (const Entry& entry : expected) {
        SCOPED_TRACE(entry.name);
        std::string query = std::string("\\StringFileInfo\\040904b0\\") + entry.name;
        char* value = nullptr;
        UINT length = 0;
        ASSERT_TRUE(
            VerQueryValueA(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length));
        EXPECT_EQ(std::string(value), entry.value);
    }
    WORD* translation = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(translation[0], 0x0409);
    EXPECT_EQ(translation[1], 1200);
}

#pragma pack(push, 2)
struct IconDirectoryEntry {
    BYTE width, height, colourCount, reserved;
    WORD planes, bitCount;
    DWORD bytesInRes;
    WORD id;
};
struct IconDirectory {
    WORD reserved, type, count;
    IconDirectoryEntry entries[1];
};
#pragma pack(pop)

DWORD RowBytes(LONG width, WORD bits) {
    return ((width * bits + 31) / 32) * 4;
}

// Transparent pixels must be black in the colour part, or the background shows inverted.
void ExpectMaskedPixelsBlack(const BYTE* image, int size, WORD bits) {
    const BYTE* palette = image + sizeof(BITMAPINFOHEADER);
    const BYTE* colour = palette + 4 * (1u << bits);
    const BYTE* mask = colour + RowBytes(size, bits) * size;
    int transparent = 0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            if (!(mask[y * RowBytes(size, 1) + x / 8] & (0x80 >> (x % 8)))) {
                continue;
            }
            ++transparent;
            int bit = x * bits;
            int index = (colour[y * RowBytes(size, bits) + bit / 8] >> (8 - bits - bit % 8)) &
                        ((1 << bits) - 1);
            const BYTE* rgb = palette + 4 * index;
            ASSERT_EQ(rgb[0] | rgb[1] | rgb[2], 0) << "pixel " << x << "," << y;
        }
    }
    EXPECT_GT(transparent, 0) << "no transparent pixel";
    EXPECT_LT(transparent, size * size) << "no visible pixel";
}

TEST_F(ResourceTest, IconGroupHoldsSixImagesIn16And256Colours) {
    struct Image {
        int size;
        WORD bits;
    };
    const Image expected[] = {{16, 4}, {16, 8}, {32, 4}, {32, 8}, {48, 4}, {48, 8}};
    Bytes group = Find(RT_GROUP_ICON, IDR_MAINFRAME);
    ASSERT_NE(group.data, nullptr);
    const auto* directory = reinterpret_cast<const IconDirectory*>(group.data);
    ASSERT_EQ(group.size, 6 + sizeof(IconDirectoryEntry) * 6);
    EXPECT_EQ(directory->reserved, 0);
    EXPECT_EQ(directory->type, 1);
    ASSERT_EQ(directory->count, 6);
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE("icon image " + std::to_string(i + 1));
        const IconDirectoryEntry& entry = directory->entries[i];
        const Image& want = expected[i];
        EXPECT_EQ(entry.width, want.size);
        EXPECT_EQ(entry.height, want.size);
        EXPECT_EQ(entry.colourCount, want.bits == 4 ? 16 : 0);
        EXPECT_EQ(entry.planes, 1);
        EXPECT_EQ(entry.bitCount, want.bits);

        Bytes image = Find(RT_ICON, entry.id);
        ASSERT_NE(image.data, nullptr);
        EXPECT_EQ(image.size, entry.bytesInRes);
        const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(image.data);
        EXPECT_EQ(header->biSize, sizeof(BITMAPINFOHEADER));
        EXPECT_EQ(header->biWidth, want.size);
        EXPECT_EQ(header->biHeight, want.size * 2);
        EXPECT_EQ(header->biPlanes, 1);
        EXPECT_EQ(header->biBitCount, want.bits);
        EXPECT_EQ(header->biCompression, DWORD(BI_RGB));
        DWORD pixels = (RowBytes(want.size, want.bits) + RowBytes(want.size, 1)) * want.size;
        ASSERT_EQ(image.size, sizeof(BITMAPINFOHEADER) + 4 * (1u << want.bits) + pixels);
        ExpectMaskedPixelsBlack(image.data, want.size, want.bits);

        HICON icon = CreateIconFromResourceEx(const_cast<BYTE*>(image.data), image.size, TRUE,
                                              0x00030000, want.size, want.size, 0);
        EXPECT_NE(icon, nullptr);
        DestroyIcon(icon);
    }
}

TEST_F(ResourceTest, PictureIsAnUncompressed256ColourBitmap) {
    Bytes bitmap = Find(RT_BITMAP, IDB_PICTURE);
    ASSERT_NE(bitmap.data, nullptr);
    ASSERT_GE(bitmap.size, sizeof(BITMAPINFOHEADER));
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(bitmap.data);
    EXPECT_EQ(header->biSize, sizeof(BITMAPINFOHEADER));
    EXPECT_EQ(header->biWidth, 178);
    EXPECT_EQ(header->biHeight, 240);
    EXPECT_EQ(header->biPlanes, 1);
    EXPECT_EQ(header->biBitCount, 8);
    EXPECT_EQ(header->biCompression, DWORD(BI_RGB));
    DWORD colours = header->biClrUsed != 0 ? header->biClrUsed : 256;
    EXPECT_EQ(colours, 256u);
    EXPECT_EQ(bitmap.size, sizeof(BITMAPINFOHEADER) + 4 * colours + RowBytes(178, 8) * 240);
}

} // namespace
