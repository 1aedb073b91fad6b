// What the window's commands and buttons show, from the state they follow:
// whether a spectrum is shown, which tool is chosen, whether the peak list
// is offered and whether the grid is on. Kept apart from the widgets so that
// one rule gives every state, whichever handler changed what it follows.
#pragma once

#include "plot/view_state.h"

namespace tesvar {

struct CommandStates {
  // Save, Save As, Export, Copy, Parameters, Print, Grid and the four tool
  // buttons: all need a spectrum to work on.
  bool spectrumCommands = false;
  // The fine and peak step buttons move the cursor: the cursor tool only.
  bool stepButtons = false;
  // The tool buttons show the chosen tool down once a spectrum is shown.
  bool cursorToolDown = false;
  bool labelToolDown = false;
  bool peakList = false;
  bool gridChecked = false;
  bool fitOrdinateChecked = false;
  // "Whole spectrum": only while a zoomed range is shown.
  bool wholeSpectrum = false;
  // The label tool's pointer is a cross over the plot.
  bool crossPointer = false;
};

inline CommandStates CommandStatesFor(const ViewState& view) {
  const bool shown = view.SpectrumShown;
  const bool cursorTool = view.ToolMode == kCursorTool;
  CommandStates states;
  states.spectrumCommands = shown;
  states.stepButtons = shown && cursorTool;
  states.cursorToolDown = shown && cursorTool;
  states.labelToolDown = shown && !cursorTool;
  states.peakList = view.PeakListOffered;
  states.gridChecked = view.GridOn;
  states.fitOrdinateChecked = view.FitOrdinate;
  states.wholeSpectrum = shown && view.Zoomed();
  states.crossPointer = !cursorTool;
  return states;
}

}  // namespace tesvar
