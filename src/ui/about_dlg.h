// The About box: the product's name, version and legal notice.
#pragma once

#include "framework/dialog.h"

class CAboutDlg : public Dialog {
public:
    CAboutDlg();

protected:
    void DoDataExchange() override;
};
