#include "LanguageTable.h"

#include "EscapeDecoding.h"

#include <windows.h>

#include <cstdio>
#include <new>

CLanguageTable* g_pLanguageTable = nullptr;
const char kAbsentValue[] = "\xA9";

namespace {

// The reader cuts a value to one less than this: 499 characters.
constexpr DWORD kValueBufferSize = 500;

std::string LoadBuiltInText(int number) {
    char buffer[1024];
    int length =
        LoadStringA(GetModuleHandleA(nullptr), static_cast<UINT>(number), buffer, sizeof buffer);
    return std::string(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}

} // namespace

CLanguageTable::AlertFunction CLanguageTable::s_showAlert = nullptr;

CLanguageTable* CLanguageTable::GetInstance() {
    if (!g_pLanguageTable)
        g_pLanguageTable = new (std::nothrow) CLanguageTable();
    return g_pLanguageTable;
}

void CLanguageTable::DeleteInstance() {
    delete g_pLanguageTable;
    g_pLanguageTable = nullptr;
}

std::string TableText(int number) {
    CLanguageTable* table = CLanguageTable::GetInstance();
    return table ? table->GetText(number) : std::string();
}

void CLanguageTable::SetFile(const std::string& path, const std::string& fileName) {
    m_bFileSet = true;
    size_t lastBackslash = path.rfind('\\');
    m_strFile =
        lastBackslash == std::string::npos ? std::string() : path.substr(0, lastBackslash + 1);
    m_strFile += fileName;
    Load();
}

std::string CLanguageTable::GetText(int number) const {
    // Callers pass fixed numbers; still, a number outside the table must not read past it.
    if (number < 0 || static_cast<size_t>(number) >= m_astrTexts.size())
        return std::string();
    return m_astrTexts[number];
}

void CLanguageTable::Load() {
    m_astrTexts.clear();
    m_astrTexts.reserve(kTextCount);
    for (int number = 0; number < kTextCount; ++number)
        m_astrTexts.push_back(ReadText(number));
}

std::string CLanguageTable::ReadText(int number) const {
    char key[8];
    std::snprintf(key, sizeof key, "%.3i", number);
    char buffer[kValueBufferSize];
    DWORD length = GetPrivateProfileStringA("Language", key, kAbsentValue, buffer, kValueBufferSize,
                                            m_strFile.c_str());
    std::string value(buffer, length);
    if (value == kAbsentValue)
        return LoadBuiltInText(number);
    quill::DecodeEscapes(value, [] {
        if (s_showAlert)
            s_showAlert("Unsupported character!");
    });
    return value;
}
