// TForm1, the main window: menus, the four step buttons, the four tool
// buttons, the scrolling plot surface and the status bar; start-up from the
// command line, the window layout, expand and compress, and the file
// commands that move a spectrum in and out (file_commands.cpp).
//
// The window owns the one spectrum record and the view state. Handlers run
// to completion on the UI thread; an IoError (or any other exception) that
// escapes one is caught at the handler's edge and shown by the generic
// error report, and the program goes on with the state as it was left.
#pragma once

#include <QMainWindow>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "app/document.h"
#include "app/library_dialog.h"
#include "app/recent_files.h"
#include "app/user_interface.h"
#include "core/messages.h"
#include "core/save_result.h"
#include "core/spectrum.h"
#include "core/version.h"
#include "formats/file_kinds.h"
#include "plot/comparisons.h"
#include "plot/cursor_tools.h"
#include "plot/edit_history.h"
#include "plot/peak_search.h"
#include "plot/plot_interaction.h"
#include "plot/view_state.h"

class QAction;
class QDragEnterEvent;
class QDropEvent;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QScrollArea;
class QToolButton;

namespace tesvar {

class PaintBox;
class StatusBar;

inline constexpr const char* kApplicationTitle = "Tesvar";
inline constexpr const char* kProgramCaption = "Tesvar v" TESVAR_VERSION;
// Why the baseline tool does nothing in the absorbance view.
inline constexpr const char* kBaselineInPercentView = "The baseline is corrected in the %T view.";

// The readers' and writers' way to the user: error boxes through the
// window's UserInterface, the bell, and the status bar panels. Made for one
// file (`fileName`), its boxes name that file in their title: a person who
// dropped several files or answered several dialogs must know which one failed.
class WindowMessages : public Messages {
 public:
  WindowMessages(UserInterface& ui, StatusBar& statusBar, std::string fileName = {})
      : ui_(ui), statusBar_(statusBar), fileName_(std::move(fileName)) {}
  void ErrorBox(const std::string& text) override;
  void Bell() override;
  void StatusText(int panel, const std::string& text) override;
  // The generic error report: a box titled with the application title.
  void Report(const std::string& text) override;

 private:
  UserInterface& ui_;
  StatusBar& statusBar_;
  std::string fileName_;
};

// The "Any spectrum" dialog: every kind the readers take.
FileDialogSettings AnySpectrumSettings();

class TForm1 : public QMainWindow {
  Q_OBJECT

 public:
  // Makes the spectrum record; the tests replace it to fail the allocation.
  using RecordFactory = std::function<std::unique_ptr<Spectrum>()>;

  // Builds the window and runs FormCreate with the program's arguments
  // (without the program name). `ui` must outlive the window.
  TForm1(const QStringList& arguments, UserInterface& ui, RecordFactory makeRecord = {},
         QWidget* parent = nullptr);
  ~TForm1() override;

  // True when start-up could not get the spectrum record: the window has
  // closed and the program must end.
  bool ClosedAtStart() const { return closedAtStart_; }

  // The record and the view; valid unless ClosedAtStart().
  Spectrum& spectrum() { return *spectrum_; }
  ViewState& view() { return view_; }
  bool CursorBaselineMode() const { return cursorBaselineMode_; }
  const std::string& PendingMetafileTarget() const { return pendingMetafileTarget_; }
  // The shown spectrum's file, and whether it holds changes that file lacks.
  Document& document() { return document_; }
  bool Modified() const { return document_.Modified; }

  // Controls, by the names the window's layout gives them.
  QWidget* Client;
  QFrame* Bevel4;
  QPushButton* LeftBtn;
  QPushButton* RightBtn;
  QPushButton* PeakLeftBTn;
  QPushButton* PeakRightBtn;
  QToolButton* SpeedButton1;
  QToolButton* SpeedButton2;
  QToolButton* SpeedButton3;
  QToolButton* SpeedButton4;
  QScrollArea* ScrollBox1;
  PaintBox* PaintBox1;
  QLabel* DebugLbl;
  StatusBar* StatusBar1;

  QMenu* File1;
  QAction* Open1;
  QAction* Save1;
  QAction* Saveas1;
  QMenu* Export1;
  QAction* Jcamp1;
  QAction* jcampcompr;
  QAction* Hpgl1;
  QAction* Windowsmetafile1;
  QAction* SVG1;
  QMenu* Import1;
  QAction* JCAMPDX1;
  QAction* ASCII1;
  QAction* Anyspectrum1;
  QAction* Comparewith1;
  QAction* Print1;
  // The spectra read last, most recent first; unused entries are hidden.
  std::array<QAction*, kRecentFileCount> RecentFileItems;
  QAction* RecentSeparator;
  QAction* Exit1;
  QMenu* Edit1;
  QAction* Undo1;
  QAction* Redo1;
  QAction* Copypeaklist1;
  QAction* Copy1;
  QMenu* View1;
  QAction* Parameters1;
  QAction* Grid1;
  QAction* FitOrdinate1;
  QAction* WholeSpectrum1;
  QAction* Absorbance1;
  QAction* ScaleComparisons1;
  // One "Remove NAME" a comparison, then "Remove all".
  QMenu* Comparisons1;
  QAction* About1;
  QMenu* Tools1;
  QAction* Searchlibrary1;

  // Handlers. Those reached from menus and buttons run inside the generic
  // error report; calling them directly lets exceptions through.
  void FormCreate(const QStringList& arguments);
  void FormResize();
  void Exit1Click();
  void SpeedButton3Click();
  void SpeedButton4Click();
  void About1Click();

  void Open1Click();
  void JCAMPDX1Click();
  void ASCII1Click();
  // A file of any kind the registry reads, chosen by its content or name.
  void Anyspectrum1Click();
  // A file of the File menu's list of those read last, read as a file
  // named on the command line is; a file that is gone leaves the list.
  void RecentFileClick(const QString& path);
  void Save1Click();
  void Saveas1Click();
  void Jcamp1Click();
  void jcampcomprClick();
  void Hpgl1Click();
  void Windowsmetafile1Click();
  void SVG1Click();
  void Parameters1Click();

  // Undo and redo of baseline corrections and labels.
  void Undo1Click();
  void Redo1Click();
  void Grid1Click();
  // The %T axis fitted to the plotted range or 0-100; kept between runs.
  void FitOrdinate1Click();
  // Back from a zoomed wavenumber range to the whole spectrum.
  void WholeSpectrum1Click();

  // Comparison spectra and the absorbance view (comparison_commands.cpp).
  // Compare with...: files of any kind read, several at once.
  void Comparewith1Click();
  void Absorbance1Click();
  void ScaleComparisons1Click();
  void RemoveComparison(int index);
  void RemoveAllComparisons();
  // Reads a file as a comparison; a refusal, or a ninth, is told in a box
  // naming the file and changes nothing. True when it was added.
  bool AddComparisonFile(const std::string& path);
  const ComparisonList& comparisons() const { return comparisons_; }

  // Tools > Search library... (library_commands.cpp): the shown spectrum
  // searched in the library folder, chosen the first time and kept.
  void Searchlibrary1Click();
  void Copypeaklist1Click();
  void Copy1Click();
  void Print1Click();

  // The plot surface: the paint handler (also called directly to draw over
  // the current picture), the mouse, the step buttons and the tool buttons.
  void PaintBox1Paint();
  void PaintBox1MouseDown(MouseButton button, int x, int y);
  // Shift + left press: starts a zoom box (moves and release follow it).
  void PaintBox1ZoomDown(int x, int y);
  void PaintBox1MouseMove(int x, int y);
  void PaintBox1MouseUp(MouseButton button, int x, int y);
  void LeftBtnClick();
  void RightBtnClick();
  void PeakLeftBTnClick();
  void PeakRightBtnClick();
  void SpeedButton1Click();
  void SpeedButton2Click();

  // Drawing over the current picture with the frame of the last paint. The
  // inverted line leaves the pen in NotXor mode; the next paint sets Copy
  // again.
  void DrawGrid();
  void InvertVerticalLine(int x);

  // Every enabled and checked state of the menus and buttons, and the
  // plot's pointer, from what is shown and which tool is chosen; called
  // after anything they follow has changed.
  void UpdateCommandStates();

  // Runs a handler; an exception that escapes it is shown by the generic
  // error report (title "Tesvar", stop icon) and the program goes on.
  void RunHandler(const std::function<void()>& handler);

  // The width of the plot surface; expand, compress and resize change it.
  int PaintBoxWidth() const;
  void SetPaintBoxWidth(int width);

  // The text of a status bar panel.
  QString StatusText(int panel) const;

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  // One local file dropped on the window is read as a file named on the
  // command line is; any other drag is refused at the door.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildControls();
  void BuildMenus();
  // The View menu's absorbance, scaling and comparison items.
  void BuildComparisonMenus();
  // The comparison items' states and the Comparisons menu's entries.
  void UpdateComparisonStates();
  // Updates the index of `folder` (a cancellable progress dialog when it
  // takes longer than half a second) and searches the shown spectrum.
  LibrarySearchResult SearchLibrary(const QString& folder);
  // What the pictures show besides the shown spectrum, as the view says.
  PlotOverlay Overlay() const;
  QAction* MakeAction(QMenu* menu, const char* name, const char* caption,
                      void (TForm1::*handler)());

  void AfterLoadUpdate();
  // After an undo or redo of an edit of `kind`: the picture, the tool the
  // labels need and whether the spectrum differs from its file.
  void ShowEditHistoryStep(EditKind kind);
  // The File menu's list of recent files, as the settings hold it now.
  void ShowRecentFiles();

  // Before the shown spectrum is replaced or the program ends: a changed
  // spectrum is not dropped without asking "Save changes to NAME?". Yes
  // saves it as Save does; true when the command may go on (answered No,
  // or saved). A save that fails ends the command with its error.
  bool MayDropChanges();
  // Save and Save As; true when the spectrum was written.
  bool SaveSpectrum();
  bool SaveSpectrumAs();

  PlotFrame Frame() const;
  // The part of PaintBox1 that ScrollBox1 shows.
  ScrollWindow VisibleWindow() const;
  // The cursor, baseline and label tools on the shown record.
  // REQUIRES: the record exists (not ClosedAtStart()).
  PlotInteraction Interaction();
  void SetCaptionFromName();
  void FormDestroy();

  // The messages about the file at `path`: its boxes name it.
  WindowMessages MessagesAbout(const std::string& path);
  // Loading (file_commands.cpp). Tells the user what the load of `path`
  // said and returns whether the spectrum loaded.
  bool TellLoadResult(const LoadResult& result, const std::string& path);
  // After a file loaded: its path and name taken, the after-load update,
  // and Imported as the kind says.
  void ShowLoadedFile(const std::string& path, const FileKindInfo& kind);
  // Open and the JCAMP-DX import: the kind's open dialog, then the load.
  void OpenWithDialog(FileKind kind);
  // Reads a file with the reader the registry chooses for it (content
  // first, then name) and shows it when it loaded. A file no reader takes
  // is said so in an error box when tellNoReader is set; else nothing is
  // said. Returns whether it loaded.
  bool LoadFileOfAnyKind(const std::string& path, bool tellNoReader);

  // The writers behind Save and the export commands. WriteShown writes the
  // shown spectrum as `kind` through the writers table, the pictures as the
  // view shows them (grid, labels) for this screen.
  SaveResult WriteShown(FileKind kind, const std::string& path);
  // What the write of `path` came to, told in boxes that name the file.
  void TellWritten(const SaveResult& result, const std::string& path);
  void ExportJcamp(const std::string& path, bool compressed);
  void ExportHpgl(const std::string& path);
  void ExportMetafile(const std::string& path);
  // The metafile picture of the plot, to the pending target when one is
  // set, else to the clipboard; the target is cleared in either case.
  void RecordPlotPicture();
  void ExportSvg(const std::string& path);

  // Open dialog with the forced extension: the chosen name, with
  // ".<defaultExt>" appended when it contains no '.'; empty when cancelled.
  std::string ChooseFileToRead(FileDialogSettings settings);
  // Save dialog and the overwrite question; empty when either said no.
  std::string ChooseFileToWrite(const FileDialogSettings& settings);
  FileDialogSettings SaveSettings(FileKind kind) const;
  bool ConfirmOverwrite(const std::string& path);

  UserInterface& ui_;
  RecordFactory makeRecord_;
  std::unique_ptr<Spectrum> spectrum_;
  ViewState view_;
  class PlotHost;
  std::unique_ptr<PlotHost> plotHost_;
  bool cursorBaselineMode_ = false;
  std::string pendingMetafileTarget_;
  Document document_;
  EditHistory history_;
  ComparisonList comparisons_;
  RecentFiles recentFiles_;
  bool closedAtStart_ = false;
};

}  // namespace tesvar
