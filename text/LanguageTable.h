#pragma once
#include <string>
#include <vector>

// The table of the 400 numbered texts the player sees. Each text comes from the override
// file (section [Language], keys 000 to 399) when it supplies one, else from the program's
// built-in string resource of the same number. One table per process, created on first use,
// filled once while the main dialog initialises and deleted when that dialog's window goes.
class CLanguageTable {
public:
    static constexpr int kTextCount = 400;

    static CLanguageTable* GetInstance();
    static void DeleteInstance();

    // Names the override file `fileName` in the folder of `path` and loads every text.
    void SetFile(const std::string& path, const std::string& fileName);
    // A copy of text `number`, 0 to 399, once SetFile has run (else the empty text).
    std::string GetText(int number) const;

    // Shows the alert for an escape the table does not know. The application sets it before
    // the table loads (its message box); none set, the alert is not shown.
    using AlertFunction = void (*)(const char* message);
    static AlertFunction s_showAlert;

    virtual ~CLanguageTable() = default;

private:
    CLanguageTable() = default;
    void Load();
    std::string ReadText(int number) const;

    std::string m_strFile;
    bool m_bFileSet = false;
    std::vector<std::string> m_astrTexts;
};

extern CLanguageTable* g_pLanguageTable;

// The default handed to the profile reader for the game's INI files as for the override
// file: a value equal to it means the key is absent.
extern const char kAbsentValue[];

// Text `number` of the process's table, or the empty text when no table could be made.
std::string TableText(int number);
