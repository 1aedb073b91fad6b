#include "app/view_settings.h"

#include <QSettings>

namespace tesvar {

namespace {

constexpr const char* kFitOrdinateKey = "View/FitOrdinate";

}  // namespace

bool StoredFitOrdinate() { return QSettings("Tesvar", "Tesvar").value(kFitOrdinateKey).toBool(); }

void StoreFitOrdinate(bool on) { QSettings("Tesvar", "Tesvar").setValue(kFitOrdinateKey, on); }

}  // namespace tesvar
