// The tree-view common control, as far as a read-only listing needs it.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "framework/control.h"

class TreeView : public Control {
public:
    // An item with its text alone (TVIF_TEXT): no image, no state, data 0.
    // Returns null when the control refuses it.
    HTREEITEM InsertItem(const char* text, HTREEITEM parent = TVI_ROOT, HTREEITEM after = TVI_LAST);
    void DeleteAllItems();
    void Expand(HTREEITEM item, UINT action = TVE_EXPAND);
};
