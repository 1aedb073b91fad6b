// The view choices the window keeps between runs in the user's settings,
// beside the list of recent files.
#pragma once

namespace tesvar {

bool StoredFitOrdinate();
void StoreFitOrdinate(bool on);

}  // namespace tesvar
