// The view choices the window keeps between runs in the user's settings,
// beside the list of recent files.
#pragma once

#include <QString>

namespace tesvar {

bool StoredFitOrdinate();
void StoreFitOrdinate(bool on);
// View > Absorbance and View > Scale comparisons.
bool StoredAbsorbance();
void StoreAbsorbance(bool on);
bool StoredScaleComparisons();
void StoreScaleComparisons(bool on);
// The folder Tools > Search library... searches.
QString StoredLibraryFolder();
void StoreLibraryFolder(const QString& folder);

}  // namespace tesvar
