// What the window's commands and buttons show, from the state they follow:
// whether a spectrum is shown, which tool is chosen, whether the peak list
// is offered, whether the grid is on and what can be undone or redone. Kept apart from the widgets
// so that one rule gives every state, whichever handler changed what it follows.
#pragma once

#include "plot/edit_history.h"
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
  // Undo and Redo: an edit of the shown spectrum to go back or forth to.
  bool undo = false;
  bool redo = false;
};

inline CommandStates CommandStatesFor(const ViewState& view, const EditHistory& history) {
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
  states.undo = shown && history.CanUndo();
  states.redo = shown && history.CanRedo();
  return states;
}

}  // namespace tesvar
