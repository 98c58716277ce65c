#pragma once

#include "sales/Sale.h"
#include "store/SalesTable.h"

// A sale as the history database keeps it, and back.
namespace sales {

salestable::Row toRow(const Sale& sale);
// A row whose stage or moves are not the program's (another version's, or edited by hand)
// is read as far as it goes: an unknown stage is 落札, a move that cannot be read is left out.
Sale fromRow(const salestable::Row& row);

}  // namespace sales
