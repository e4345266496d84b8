#pragma once
#include "framework/WinApp.h"

// The updater: runs the main dialog and ends when it closes.
class CUpdateApp : public CWinApp {
public:
    BOOL InitInstance() override;
};
