#include "scan/inventory.h"

void ClearInventory(Inventory& inventory)
{
    inventory.clear();
}
