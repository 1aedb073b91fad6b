#include "app/view_settings.h"

#include <QSettings>

namespace tesvar {

namespace {

bool Stored(const char* key) { return QSettings("Tesvar", "Tesvar").value(key).toBool(); }

void Store(const char* key, bool on) { QSettings("Tesvar", "Tesvar").setValue(key, on); }

}  // namespace

bool StoredFitOrdinate() { return Stored("View/FitOrdinate"); }
void StoreFitOrdinate(bool on) { Store("View/FitOrdinate", on); }
bool StoredAbsorbance() { return Stored("View/Absorbance"); }
void StoreAbsorbance(bool on) { Store("View/Absorbance", on); }
bool StoredScaleComparisons() { return Stored("View/ScaleComparisons"); }
void StoreScaleComparisons(bool on) { Store("View/ScaleComparisons", on); }
QString StoredLibraryFolder() {
  return QSettings("Tesvar", "Tesvar").value("Library/Folder").toString();
}
void StoreLibraryFolder(const QString& folder) {
  QSettings("Tesvar", "Tesvar").setValue("Library/Folder", folder);
}

}  // namespace tesvar
