#pragma once

#include "listing/csv/ListingCsv.h"
#include "listing/records/frmKIROKU.h"
#include "sales/SalesWindow.h"

class MyAuctionPane;
class QWidget;
class SiteFormPane;
class UiServices;
class fMain;

// The data paths between the main window's panes, the listing queue, the listing records and the
// history. The panes know none of each other: the main window builds them, and whatever goes from
// one to another is joined here, through the panes' own functions and signals.
namespace PaneWiring {

// Joins the panes, the queue and the history once every pane is built.
void connectPanes(fMain& window, UiServices& ui);

// Takes the seller to the final button of the site's confirmation page: the summary before it where
// there is something to say, then the page scrolled to the button, for the seller to read and press.
// 確認 waits for the summary (closed, it stops there) and shows the notice the seller has not
// switched off; the queue leaves the summary open beside the page, out of the queue's way.
enum class ConfirmFrom { Button, Queue };
void confirmListing(ConfirmFrom from, UiServices& ui, SiteFormPane& pane, QWidget* parent);

// 出品記録's list from the history's table of records; the records on disk it lacks go into it.
frmKIROKU::Source recordsFromHistory(MyAuctionPane& history);

// What 取引一覧 takes from the mail pane (its placeholders, the hand-off to the mail program) and
// from the site (the shared network access, the closed listings and item pages).
SalesWindow::Hooks salesHooks(fMain& window, UiServices& ui);

// What the spreadsheet's import and export take from the memory files, the description's designs,
// the pictures and the window's state.
listingcsv::Hooks csvHooks(fMain& window, UiServices& ui);

}  // namespace PaneWiring
