#pragma once

class QComboBox;

namespace tontoko {

// Lets a drop-down list show every entry whole: the closed list is at least as
// wide as its widest entry, and its popup as wide as the widest entry needs
// there (beside a scroll bar when it has one). Call after the entries are in.
void FitToEntries(QComboBox& list);

// The width the widest entry needs in the popup's rows.
int PopupEntryWidth(const QComboBox& list);

}  // namespace tontoko
