#include "ui/about_dlg.h"

#include "ui/resource.h"

CAboutDlg::CAboutDlg() : Dialog(IDD_ABOUTBOX) {}

void CAboutDlg::DoDataExchange()
{
    // Static texts and the OK button only: nothing to bind.
}
