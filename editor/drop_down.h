#pragma once
// The drop-down list routines the piston and shoe editors share.

#include "model/catalogue.h"

class QComboBox;

namespace vtl {

// Clears the list, adds one blank entry when addBlank is non-zero, then the names in order,
// and selects entry 0.
void FillCombo(QComboBox& list, const NameList& names, int addBlank);

// Clears the list and adds the numbers from high down to low, each entry's item value being
// its number; selects the last entry (low).
void FillNumberCombo(QComboBox& list, int low, int high);

// In a list filled by FillNumberCombo with low 1, selects the entry showing v; a v outside 1
// to the number of entries leaves the selection as it was.
void SelectDescendingValue(QComboBox& list, int v);

// The item value of the selected entry (0 without a selection).
int SelectedValue(const QComboBox& list);

} // namespace vtl
