#pragma once
#include "framework/Dialog.h"

// The About box of the system menu: the version and the patch library's credit.
class CAboutDlg : public CDialog {
public:
    CAboutDlg();
};
