// The main window: a tree of the installed products with their patches, hot
// fixes and updates, and buttons to rescan and to save the report.
#pragma once

#include "framework/dialog.h"
#include "framework/tree_view.h"
#include "scan/inventory.h"
#include "scan/query.h"

class CMirovant9xDlg : public Dialog {
public:
    // The dialog scans through `query` into `inventory` whenever it reads it.
    CMirovant9xDlg(const Query& query, Inventory& inventory);
    ~CMirovant9xDlg() override;

protected:
    MessageTable GetMessageTable() const override;
    void DoDataExchange() override;
    BOOL OnInitDialog() override;

private:
    void OnSysCommand(UINT id, LPARAM point);
    void OnPaint();
    HICON OnQueryDragIcon();
    void OnTreeNotify(NMHDR* header, LRESULT* result);
    void OnRefresh();
    void OnSaveAs();

    // Rescans and shows the result: one expanded item per product, its
    // lines as children, and an empty item after each.
    void FillTree();

    HICON icon_;  // shared resource icon: never destroyed
    TreeView tree_;
    const Query& query_;
    Inventory& inventory_;
};
