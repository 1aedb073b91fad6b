#include "app/main_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSize>
#include <QToolButton>
#include <algorithm>
#include <exception>
#include <new>

#include "app/command_line.h"
#include "app/command_states.h"
#include "app/paint_box.h"
#include "app/parameters_dialog.h"
#include "app/qt_text.h"
#include "app/status_bar.h"
#include "app/view_settings.h"
#include "core/file_io.h"
#include "core/io_error.h"
#include "core/number_text.h"
#include "output/plot_output_qt.h"
#include "plot/plot_painter.h"

namespace tesvar {

namespace {

// The window's client area at 96 dots per inch, the size its layout is
// drawn for, and the smallest outer size the window keeps.
constexpr QSize kClientSize(584, 418);
constexpr QSize kMinOuterSize(300, 250);
constexpr int kStatusBarHeight = 19;
// Expand doubles the plot surface only while it is narrower than this, so
// 800 px doubles up to 12800 and no further.
constexpr int kExpandLimit = 8000;

QFont PixelFont(const char* family, int pixels, bool bold = false) {
  QFont font(family);
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

// The desktop's key for a command, or `usual` where the desktop has none.
QKeySequence StandardKey(QKeySequence::StandardKey key, const char* usual) {
  const QKeySequence standard(key);
  return standard.isEmpty() ? QKeySequence(usual) : standard;
}

// Bevel4: a sunken rule along the top edge of its rectangle.
class TopRule : public QFrame {
 public:
  using QFrame::QFrame;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawLine(0, 0, width() - 1, 0);
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(0, 1, width() - 1, 1);
  }
};

}  // namespace

void WindowMessages::ErrorBox(const std::string& text) {
  ui_.ErrorBox(FromMessage(text), FromPath(fileName_));
}

void WindowMessages::Bell() { QApplication::beep(); }

void WindowMessages::StatusText(int panel, const std::string& text) {
  statusBar_.SetPanelText(panel, FromMessage(text));
}

void WindowMessages::Report(const std::string& text) {
  ui_.Report(TitleNaming(QCoreApplication::applicationName(), FromPath(fileName_)),
             FromMessage(text));
}

// What the plot's interaction asks of the window.
class TForm1::PlotHost : public InteractionHost {
 public:
  explicit PlotHost(TForm1& window) : w_(window) {}
  DrawingSurface& Canvas() override { return w_.PaintBox1->Canvas(); }
  ScrollWindow VisibleWindow() const override { return w_.VisibleWindow(); }
  void Repaint() override { w_.PaintBox1->Repaint(); }
  void PaintOver() override { w_.PaintBox1Paint(); }
  void StatusText(int panel, const std::string& text) override {
    w_.StatusBar1->SetPanelText(panel, QString::fromStdString(text));
  }
  void SpectrumCorrected() override { w_.document_.Modified = true; }
  EditHistory* History() override { return &w_.history_; }

 private:
  TForm1& w_;
};

TForm1::TForm1(const QStringList& arguments, UserInterface& ui, RecordFactory makeRecord,
               QWidget* parent)
    : QMainWindow(parent), ui_(ui) {
  setObjectName("Form1");
  setFont(PixelFont("System", 13));
  setAcceptDrops(true);
  BuildControls();
  BuildMenus();
  plotHost_ = std::make_unique<PlotHost>(*this);

  resize(kClientSize.width(), kClientSize.height() + menuBar()->sizeHint().height());
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect area = screen->availableGeometry();
    move(area.center() - rect().center());
  }

  makeRecord_ = makeRecord ? std::move(makeRecord) : [] { return std::make_unique<Spectrum>(); };
  FormCreate(arguments);
}

TForm1::~TForm1() { FormDestroy(); }

void TForm1::BuildControls() {
  Client = new QWidget(this);
  Client->setObjectName("Client");
  setCentralWidget(Client);
  Client->installEventFilter(this);

  Bevel4 = new TopRule(Client);
  Bevel4->setObjectName("Bevel4");
  Bevel4->setGeometry(0, 0, 583, 14);

  auto stepButton = [this](const char* name, int left, const char* caption, const char* hint) {
    auto* button = new QPushButton(caption, Client);
    button->setObjectName(name);
    button->setGeometry(left, 16, 49, 19);
    button->setFont(PixelFont("Arial", 13));
    button->setToolTip(hint);
    button->setFocusPolicy(Qt::TabFocus);
    return button;
  };
  LeftBtn = stepButton("LeftBtn", 40, "< fine", "Move 1 datapoint left");
  RightBtn = stepButton("RightBtn", 96, "fine >", "Move 1 datapoint right");
  PeakLeftBTn = stepButton("PeakLeftBTn", 168, "< peak", "Find peak to the left");
  PeakRightBtn = stepButton("PeakRightBtn", 224, "peak >", "Find peak to the right");

  auto toolButton = [this](const char* name, int top, const char* caption, const char* hint) {
    auto* button = new QToolButton(Client);
    button->setObjectName(name);
    button->setGeometry(8, top, 25, 25);
    button->setText(caption);
    button->setToolTip(hint);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
  };
  // SpeedButton1 gets its caption and hint at start, from the command line.
  SpeedButton1 = toolButton("SpeedButton1", 40, "", "");
  SpeedButton1->setCheckable(true);
  SpeedButton1->setFont(PixelFont("System", 13, true));
  SpeedButton2 = toolButton("SpeedButton2", 64, "L", "Labels");
  SpeedButton2->setCheckable(true);
  SpeedButton2->setFont(PixelFont("Times", 19, true));
  SpeedButton3 = toolButton("SpeedButton3", 88, "< >", "Expand");
  SpeedButton4 = toolButton("SpeedButton4", 112, "> <", "Compress");

  ScrollBox1 = new QScrollArea(Client);
  ScrollBox1->setObjectName("ScrollBox1");
  ScrollBox1->setGeometry(40, 40, 540, 342);
  ScrollBox1->setWidgetResizable(false);
  ScrollBox1->setBackgroundRole(QPalette::Base);
  QPalette white = ScrollBox1->palette();
  white.setColor(QPalette::Base, Qt::white);
  white.setColor(QPalette::Window, Qt::white);
  ScrollBox1->setPalette(white);
  ScrollBox1->viewport()->setPalette(white);
  ScrollBox1->viewport()->setAutoFillBackground(true);

  PaintBox1 = new PaintBox;
  PaintBox1->setObjectName("PaintBox1");
  PaintBox1->setGeometry(0, 0, 800, 316);
  ScrollBox1->setWidget(PaintBox1);
  PaintBox1->OnPaint = [this] { RunHandler([this] { PaintBox1Paint(); }); };
  PaintBox1->OnMouseDown = [this](MouseButton button, int x, int y) {
    RunHandler([=, this] { PaintBox1MouseDown(button, x, y); });
  };
  PaintBox1->OnShiftLeftDown = [this](int x, int y) {
    RunHandler([=, this] { PaintBox1ZoomDown(x, y); });
  };
  PaintBox1->OnMouseMove = [this](int x, int y) {
    RunHandler([=, this] { PaintBox1MouseMove(x, y); });
  };
  PaintBox1->OnMouseUp = [this](MouseButton button, int x, int y) {
    RunHandler([=, this] { PaintBox1MouseUp(button, x, y); });
  };

  auto onClick = [this](QAbstractButton* button, void (TForm1::*handler)()) {
    connect(button, &QAbstractButton::clicked, this,
            [this, handler] { RunHandler([this, handler] { (this->*handler)(); }); });
  };
  onClick(LeftBtn, &TForm1::LeftBtnClick);
  onClick(RightBtn, &TForm1::RightBtnClick);
  onClick(PeakLeftBTn, &TForm1::PeakLeftBTnClick);
  onClick(PeakRightBtn, &TForm1::PeakRightBtnClick);
  onClick(SpeedButton1, &TForm1::SpeedButton1Click);
  onClick(SpeedButton2, &TForm1::SpeedButton2Click);
  onClick(SpeedButton3, &TForm1::SpeedButton3Click);
  onClick(SpeedButton4, &TForm1::SpeedButton4Click);

  // Made before the status bar, which covers its lower part: the label's
  // place in the layout reaches below the status bar's top edge.
  DebugLbl = new QLabel(Client);
  DebugLbl->setObjectName("DebugLbl");
  DebugLbl->setGeometry(275, 400, 99, 15);
  DebugLbl->setFont(PixelFont("Arial", 12));
  DebugLbl->setAutoFillBackground(false);
  DebugLbl->setAttribute(Qt::WA_TranslucentBackground);

  StatusBar1 = new StatusBar(Client);
  StatusBar1->setFont(PixelFont("Arial", 12));
  StatusBar1->setGeometry(0, kClientSize.height() - kStatusBarHeight, kClientSize.width(),
                          kStatusBarHeight);
}

QAction* TForm1::MakeAction(QMenu* menu, const char* name, const char* caption,
                            void (TForm1::*handler)()) {
  auto* action = new QAction(caption, this);
  action->setObjectName(name);
  connect(action, &QAction::triggered, this,
          [this, handler] { RunHandler([this, handler] { (this->*handler)(); }); });
  menu->addAction(action);
  return action;
}

void TForm1::BuildMenus() {
  File1 = menuBar()->addMenu("&File");
  File1->setObjectName("File1");
  Open1 = MakeAction(File1, "Open1", "&Open", &TForm1::Open1Click);
  Save1 = MakeAction(File1, "Save1", "&Save", &TForm1::Save1Click);
  Saveas1 = MakeAction(File1, "Saveas1", "Save &As...", &TForm1::Saveas1Click);
  Export1 = File1->addMenu("&Export");
  Export1->setObjectName("Export1");
  Jcamp1 = MakeAction(Export1, "Jcamp1", "&JCAMP-DX uncompressed", &TForm1::Jcamp1Click);
  jcampcompr = MakeAction(Export1, "jcampcompr", "JCAMP-DX &compressed", &TForm1::jcampcomprClick);
  Hpgl1 = MakeAction(Export1, "Hpgl1", "&HPGL plot file", &TForm1::Hpgl1Click);
  Windowsmetafile1 =
      MakeAction(Export1, "Windowsmetafile1", "&Windows metafile", &TForm1::Windowsmetafile1Click);
  SVG1 = MakeAction(Export1, "SVG1", "&SVG file", &TForm1::SVG1Click);
  Import1 = File1->addMenu("&Import");
  Import1->setObjectName("Import1");
  JCAMPDX1 = MakeAction(Import1, "JCAMPDX1", "&JCAMP-DX", &TForm1::JCAMPDX1Click);
  ASCII1 = MakeAction(Import1, "ASCII1", "&ASCII", &TForm1::ASCII1Click);
  Anyspectrum1 =
      MakeAction(Import1, "Anyspectrum1", "Any &spectrum...", &TForm1::Anyspectrum1Click);
  Comparewith1 = MakeAction(File1, "Comparewith1", "Compare &with...", &TForm1::Comparewith1Click);
  File1->addSeparator();
  Print1 = MakeAction(File1, "Print1", "&Print...", &TForm1::Print1Click);
  File1->addSeparator();
  for (int i = 0; i < kRecentFileCount; ++i) {
    QAction* item = new QAction(this);
    item->setObjectName(QString("RecentFile%1").arg(i + 1));
    item->setVisible(false);
    connect(item, &QAction::triggered, this, [this, item] {
      const QString path = item->data().toString();
      RunHandler([this, &path] { RecentFileClick(path); });
    });
    File1->addAction(item);
    RecentFileItems[i] = item;
  }
  RecentSeparator = File1->addSeparator();
  RecentSeparator->setVisible(false);
  Exit1 = MakeAction(File1, "Exit1", "E&xit", &TForm1::Exit1Click);
  // Another window may have read a file since this menu was last shown.
  connect(File1, &QMenu::aboutToShow, this, [this] { ShowRecentFiles(); });

  Edit1 = menuBar()->addMenu("&Edit");
  Edit1->setObjectName("Edit1");
  Undo1 = MakeAction(Edit1, "Undo1", "&Undo", &TForm1::Undo1Click);
  Redo1 = MakeAction(Edit1, "Redo1", "&Redo", &TForm1::Redo1Click);
  Edit1->addSeparator();
  Copypeaklist1 =
      MakeAction(Edit1, "Copypeaklist1", "Copy peak &list", &TForm1::Copypeaklist1Click);
  Copy1 = MakeAction(Edit1, "Copy1", "Copy &spectrum", &TForm1::Copy1Click);

  View1 = menuBar()->addMenu("&View");
  View1->setObjectName("View1");
  Parameters1 = MakeAction(View1, "Parameters1", "&Parameters", &TForm1::Parameters1Click);
  View1->addSeparator();
  Grid1 = MakeAction(View1, "Grid1", "&Grid", &TForm1::Grid1Click);
  Grid1->setCheckable(true);
  FitOrdinate1 = MakeAction(View1, "FitOrdinate1", "&Fit ordinate", &TForm1::FitOrdinate1Click);
  FitOrdinate1->setCheckable(true);
  WholeSpectrum1 =
      MakeAction(View1, "WholeSpectrum1", "&Whole spectrum", &TForm1::WholeSpectrum1Click);
  BuildComparisonMenus();
  View1->addSeparator();
  About1 = MakeAction(View1, "About1", "&About", &TForm1::About1Click);
  Tools1 = menuBar()->addMenu("&Tools");
  Tools1->setObjectName("Tools1");
  Searchlibrary1 =
      MakeAction(Tools1, "Searchlibrary1", "&Search library...", &TForm1::Searchlibrary1Click);
  Searchlibrary1->setShortcut(QKeySequence("Ctrl+L"));

  // The keys of the desktop the program runs on; the menus show them beside
  // the items. Where a desktop defines no key for Save As or Quit, the keys
  // most programs use stand in, so that every item has one everywhere.
  Open1->setShortcut(StandardKey(QKeySequence::Open, "Ctrl+O"));
  Save1->setShortcut(StandardKey(QKeySequence::Save, "Ctrl+S"));
  Saveas1->setShortcut(StandardKey(QKeySequence::SaveAs, "Ctrl+Shift+S"));
  Print1->setShortcut(StandardKey(QKeySequence::Print, "Ctrl+P"));
  Exit1->setShortcut(StandardKey(QKeySequence::Quit, "Ctrl+Q"));
  Copy1->setShortcut(StandardKey(QKeySequence::Copy, "Ctrl+C"));
  // Set as such: some desktops give Redo Ctrl+Y, which people who undo
  // with Ctrl+Z do not look for.
  Undo1->setShortcut(QKeySequence("Ctrl+Z"));
  Redo1->setShortcut(QKeySequence("Ctrl+Shift+Z"));
  // The keys most plotting programs give "fit" and "show all".
  FitOrdinate1->setShortcut(QKeySequence("Ctrl+Shift+F"));
  WholeSpectrum1->setShortcut(QKeySequence("Ctrl+0"));
  ShowRecentFiles();

  // The states the window is built with: nothing shown yet.
  UpdateCommandStates();
}

void TForm1::UpdateCommandStates() {
  const CommandStates states = CommandStatesFor(view_, history_);
  for (QAction* action :
       {Save1, Saveas1, Export1->menuAction(), Copy1, Parameters1, Print1, Grid1, Searchlibrary1}) {
    action->setEnabled(states.spectrumCommands);
  }
  for (QToolButton* button : {SpeedButton1, SpeedButton2, SpeedButton3, SpeedButton4}) {
    button->setEnabled(states.spectrumCommands);
  }
  for (QPushButton* button : {LeftBtn, RightBtn, PeakLeftBTn, PeakRightBtn}) {
    button->setEnabled(states.stepButtons);
  }
  SpeedButton1->setChecked(states.cursorToolDown);
  SpeedButton2->setChecked(states.labelToolDown);
  Grid1->setChecked(states.gridChecked);
  FitOrdinate1->setChecked(states.fitOrdinateChecked);
  WholeSpectrum1->setEnabled(states.wholeSpectrum);
  Copypeaklist1->setEnabled(states.peakList);
  Undo1->setEnabled(states.undo);
  Redo1->setEnabled(states.redo);
  UpdateComparisonStates();
  PaintBox1->setCursor(states.crossPointer ? Qt::CrossCursor : Qt::ArrowCursor);
}

void TForm1::RunHandler(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    // Mostly an IoError from a reader or writer; anything else is reported
    // the same way rather than ending the program.
    ui_.Report(QCoreApplication::applicationName(), FromMessage(GenericReportText(e.what())));
  }
}

void TForm1::FormCreate(const QStringList& arguments) {
  QCoreApplication::setApplicationName(kApplicationTitle);
  setWindowTitle(kProgramCaption);

  pendingMetafileTarget_.clear();
  std::vector<std::string> args;
  for (const QString& argument : arguments) args.push_back(ToPath(argument));
  StartOptions options =
      ParseCommandLine(args, [](const std::string& path) { return FileExists(path); });
  cursorBaselineMode_ = options.CursorBaselineMode;
  view_.FitOrdinate = StoredFitOrdinate();
  view_.Absorbance = StoredAbsorbance();
  view_.ScaleComparisons = StoredScaleComparisons();
  UpdateCommandStates();

  if (cursorBaselineMode_) {
    SpeedButton1->setText("--|--");
    SpeedButton1->setToolTip("Cursor/Baseline");
  } else {
    SpeedButton1->setText(" | ");
    SpeedButton1->setToolTip("Cursor bar");
  }

  try {
    spectrum_ = makeRecord_();
  } catch (const std::bad_alloc&) {
    spectrum_.reset();
  }
  if (!spectrum_) {
    ui_.ErrorBox("Not enough memory", QString());
    closedAtStart_ = true;
    close();
    return;
  }

  SetPaintBoxWidth(ScrollBox1->width() - 3);

  if (options.FileToLoad.empty()) return;
  // A file no reader takes is not loaded, and nothing is said.
  RunHandler([this, &options] { LoadFileOfAnyKind(options.FileToLoad, false); });
}

void TForm1::FormDestroy() { spectrum_.reset(); }

void TForm1::closeEvent(QCloseEvent* event) {
  // Exit, the window's close button and the desktop's own close all end
  // here; a changed spectrum is not dropped without asking.
  bool mayClose = false;
  RunHandler([this, &mayClose] { mayClose = MayDropChanges(); });
  if (mayClose) {
    event->accept();
  } else {
    event->ignore();
  }
}

bool TForm1::MayDropChanges() {
  if (!spectrum_ || !document_.Modified) return true;
  const QString question = "Save changes to " + FromPath(document_.CurrentName) + "?";
  switch (ui_.AskSaveChanges(question)) {
    case SaveChangesAnswer::kYes:
      return SaveSpectrum();
    case SaveChangesAnswer::kNo:
      return true;
    case SaveChangesAnswer::kCancel:
      break;
  }
  return false;
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Client && event->type() == QEvent::Resize) FormResize();
  return QMainWindow::eventFilter(watched, event);
}

void TForm1::FormResize() {
  QSize outer = frameGeometry().size();
  if (outer.width() < kMinOuterSize.width() || outer.height() < kMinOuterSize.height()) {
    resize(width() + std::max(0, kMinOuterSize.width() - outer.width()),
           height() + std::max(0, kMinOuterSize.height() - outer.height()));
  }

  const int clientWidth = Client->width();
  const int clientHeight = Client->height();
  ScrollBox1->resize(std::max(0, clientWidth - 54), ScrollBox1->height());
  if (ScrollBox1->width() - 3 > PaintBoxWidth()) SetPaintBoxWidth(ScrollBox1->width() - 3);
  Bevel4->resize(clientWidth, Bevel4->height());
  ScrollBox1->resize(ScrollBox1->width(), std::max(0, clientHeight - 78));
  PaintBox1->resize(PaintBoxWidth(), std::max(0, clientHeight - 102));
  StatusBar1->setGeometry(0, clientHeight - kStatusBarHeight, clientWidth, kStatusBarHeight);
}

int TForm1::PaintBoxWidth() const { return PaintBox1->width(); }

void TForm1::SetPaintBoxWidth(int width) { PaintBox1->resize(width, PaintBox1->height()); }

QString TForm1::StatusText(int panel) const { return StatusBar1->PanelText(panel); }

void TForm1::SpeedButton3Click() {
  if (PaintBoxWidth() < kExpandLimit) SetPaintBoxWidth(PaintBoxWidth() * 2);
}

void TForm1::SpeedButton4Click() {
  if (PaintBoxWidth() > 2 * ScrollBox1->width()) {
    SetPaintBoxWidth(PaintBoxWidth() / 2);
  } else {
    SetPaintBoxWidth(ScrollBox1->width() - 3);
  }
}

void TForm1::About1Click() { ui_.About(QCoreApplication::applicationName(), kProgramCaption); }

void TForm1::Exit1Click() { close(); }

void TForm1::SetCaptionFromName() {
  setWindowTitle(QString(kProgramCaption) + " - " + FromPath(document_.CurrentName));
}

void TForm1::AfterLoadUpdate() {
  SetCaptionFromName();
  StatusBar1->SetPanelText(0, QString::fromStdString(FormatInt(spectrum_->NPoints) + " points"));
  view_.Labels.Clear();
  view_.ShowWholeSpectrum();
  view_.ResetCursor(spectrum_->XStart);
  view_.SpectrumShown = true;
  // Every load starts in the cursor tool, also when the label tool was
  // chosen before it.
  view_.ToolMode = kCursorTool;
  UpdateCommandStates();
  // Drawn last, so that the first paint of the new spectrum already sees the
  // cursor tool.
  PaintBox1->Repaint();
}

// ---------------------------------------------------------------------------
// View and edit commands

void TForm1::Parameters1Click() {
  const std::string operatorName = spectrum_->OperatorName;
  const std::string comment = spectrum_->Comment;
  TPE1Dlg dialog(
      *spectrum_, [this] { PaintBox1->Repaint(); }, this);
  if (view_.Zoomed()) {
    dialog.ShowRange(spectrum_->PointX(view_.ZoomFirst), spectrum_->PointX(view_.ZoomLast));
  }
  ui_.ShowModal(dialog);
  // OK without an edit leaves nothing to save.
  if (spectrum_->OperatorName != operatorName || spectrum_->Comment != comment) {
    document_.Modified = true;
    // The header is not kept in the history: no undo brings back the file's.
    history_.ForgetSaved();
  }
  PaintBox1->Invalidate();
}

void TForm1::Undo1Click() {
  if (!history_.CanUndo()) return;
  ShowEditHistoryStep(history_.Undo(*spectrum_, view_.Labels));
}

void TForm1::Redo1Click() {
  if (!history_.CanRedo()) return;
  ShowEditHistoryStep(history_.Redo(*spectrum_, view_.Labels));
}

void TForm1::ShowEditHistoryStep(EditKind kind) {
  document_.Modified = history_.SpectrumChangedSinceSave();
  // Labels are shown, and written by the exports, in the label tool only:
  // labels brought back bring the tool back with them.
  if (kind != EditKind::kBaseline && !view_.Labels.Empty() && view_.ToolMode != kLabelTool) {
    Interaction().ChooseLabelTool();
  }
  if (view_.ToolMode == kLabelTool && !view_.Labels.Empty()) view_.PeakListOffered = true;
  UpdateCommandStates();
  PaintBox1->Repaint();
}

void TForm1::Grid1Click() {
  // The menu action has already toggled its check mark.
  if (Grid1->isChecked()) {
    view_.GridOn = true;
    DrawGrid();
  } else {
    view_.GridOn = false;
    PaintBox1->Repaint();
  }
}

void TForm1::FitOrdinate1Click() {
  // The menu action has already toggled its check mark.
  view_.FitOrdinate = FitOrdinate1->isChecked();
  StoreFitOrdinate(view_.FitOrdinate);
  PaintBox1->Repaint();
}

void TForm1::WholeSpectrum1Click() {
  Interaction().ShowWholeSpectrum();
  UpdateCommandStates();
}

void TForm1::Copypeaklist1Click() {
  std::string text = view_.Labels.PeakListText();
  if (!text.empty()) QGuiApplication::clipboard()->setText(FromRecordText(text));
}

void TForm1::Copy1Click() { RecordPlotPicture(); }

void TForm1::Print1Click() {
  QPrinter printer(QPrinter::HighResolution);
  if (!ui_.ChoosePrinter(printer)) return;
  PrintPlot(printer, *spectrum_, view_.GridOn, view_.Labels, Overlay());
}

// ---------------------------------------------------------------------------
// The plot surface: paint, inverted lines, cursor, baseline and labels

PlotFrame TForm1::Frame() const { return PlotFrame::FromViewState(view_, *spectrum_); }

ScrollWindow TForm1::VisibleWindow() const {
  return {ScrollBox1->horizontalScrollBar()->value(), ScrollBox1->width()};
}

PlotInteraction TForm1::Interaction() {
  // The baseline is corrected in the %T view only: in absorbance a straight
  // line is no baseline of the transmittance it would change.
  return PlotInteraction(view_, *spectrum_, cursorBaselineMode_ && !view_.Absorbance, *plotHost_);
}

void TForm1::PaintBox1Paint() {
  if (!spectrum_) return;
  ImageSurface& canvas = PaintBox1->Canvas();
  std::optional<PlotFrame> frame =
      PaintScreenPlot(canvas, canvas.width(), canvas.height(), *spectrum_, view_, Overlay());
  if (frame) Interaction().CursorAfterPaint(*frame);
}

void TForm1::DrawGrid() {
  // In whatever pen mode the last drawing left: after a cursor line that is
  // NotXor, which gives the same grey on the white background.
  ::tesvar::DrawGrid(PaintBox1->Canvas(), Frame(), ScreenPlotStyle());
}

void TForm1::InvertVerticalLine(int x) { Interaction().InvertVerticalLine(x); }

// Without a record (start-up ran out of memory) the plot has nothing to do.
void TForm1::PaintBox1MouseDown(MouseButton button, int x, int y) {
  if (!spectrum_) return;
  Interaction().MouseDown(button, x, y);
  // After the press, which clears the panel.
  if (button == MouseButton::kRight && cursorBaselineMode_ && view_.Absorbance) {
    StatusBar1->SetPanelText(2, kBaselineInPercentView);
  }
}

void TForm1::PaintBox1ZoomDown(int x, int y) {
  if (spectrum_) Interaction().ZoomDown(x, y);
}

void TForm1::PaintBox1MouseMove(int x, int y) {
  if (!spectrum_) return;
  if (view_.ZoomDragging) {
    Interaction().ZoomMove(x);
  } else {
    Interaction().MouseMove(x, y);
  }
}

void TForm1::PaintBox1MouseUp(MouseButton button, int x, int y) {
  if (!spectrum_) return;
  if (view_.ZoomDragging) {
    // Only the left button's release ends the zoom box.
    if (button == MouseButton::kLeft) Interaction().ZoomUp(x);
    UpdateCommandStates();
    return;
  }
  Interaction().MouseUp(button, x, y);
  UpdateCommandStates();  // a label placed offers the peak list
}

void TForm1::LeftBtnClick() { Interaction().StepLeft(); }

void TForm1::RightBtnClick() { Interaction().StepRight(); }

void TForm1::PeakLeftBTnClick() { Interaction().JumpToPeak(PeakDirection::kLeft); }

void TForm1::PeakRightBtnClick() { Interaction().JumpToPeak(PeakDirection::kRight); }

void TForm1::SpeedButton1Click() {
  Interaction().ChooseCursorTool();
  UpdateCommandStates();
}

void TForm1::SpeedButton2Click() {
  Interaction().ChooseLabelTool();
  UpdateCommandStates();
}

}  // namespace tesvar
