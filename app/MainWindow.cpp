// The main window's construction, start-up order, menu, tool bar and exit.
#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenuBar>
#include <QMoveEvent>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <ctime>

#include "app/AccessibleNames.h"
#include "app/MainHelpers.h"
#include "app/MainPage.h"
#include "app/MainTexts.h"
#include "app/SoundPage.h"
#include "app/ToolbarIcons.h"
#include "app/Version.h"
#include "app/WindowPlacement.h"
#include "app/WorkFolder.h"
#include "app/main.h"
#include "chain/Chain.h"
#include "editing/RhythmCfg.h"
#include "sound/MidiPlayer.h"
#include "widgets/AccessibleComboBox.h"
#include "widgets/AppFont.h"
#include "widgets/DialogFolder.h"
#include "widgets/DocumentOpener.h"
#include "widgets/FileDialogs.h"
#include "widgets/ListWidth.h"
#include "widgets/Messages.h"

namespace tontoko {

using build::Named;
using build::Q;

namespace {
// Outer frame of the window, title bar and borders included.
constexpr int kWindowX = 104;
constexpr int kWindowY = 102;
constexpr int kWindowWidth = 750;
constexpr int kWindowHeight = 578;

uint32_t ClockSeconds(const Platform& platform) {
    return platform.clock ? platform.clock() : static_cast<uint32_t>(std::time(nullptr));
}
}  // namespace

TSMain::TSMain(const Platform& platform, QWidget* parent)
    : QMainWindow(parent),
      document_(ClockSeconds(platform)),
      history_(document_,
               DocumentHistory::Views{
                   [this] { return mainPage_ ? mainPage_->CaptureGrids() : GridCells{}; },
                   [this](const GridCells& cells) {
                       if (mainPage_) {
                           mainPage_->RestoreGrids(cells);
                       }
                   },
                   [this] { RefreshViews(); }},
               this) {
    if (platform.messages) {
        messages_ = platform.messages;
    } else {
        ownMessages_ = std::make_unique<QtMessages>(this);
        messages_ = ownMessages_.get();
    }
    if (platform.fileDialogs) {
        fileDialogs_ = platform.fileDialogs;
    } else {
        ownFileDialogs_ = std::make_unique<QtFileDialogs>();
        fileDialogs_ = ownFileDialogs_.get();
    }
    if (platform.opener) {
        opener_ = platform.opener;
    } else {
        ownOpener_ = std::make_unique<DesktopOpener>();
        opener_ = ownOpener_.get();
    }
    if (platform.player) {
        player_ = platform.player;
        player_->SetNotify([this] { MPNotify(); });
    }

    // Before the first drop-down list, so that every list says its name.
    InstallAccessibleComboBox();
    setObjectName(QStringLiteral("TSMain"));
    setWindowTitle(Q(texts::kCaption));
    setFont(AppFont());

    // Every control with its captions, ranges and initial states, on two
    // pages; the song itself was made with the window (start-up song, table
    // seeded from the clock).
    BuildMenuAndToolBar();
    tabs_ = Named(new QTabWidget(this), "PageControl");
    mainPage_ = new MainPage(*this, tabs_);
    soundPage_ = new SoundPage(*this, tabs_);
    tabs_->addTab(mainPage_, Q(texts::kPageMain));
    tabs_->addTab(soundPage_, Q(texts::kPageSub));
    tabs_->setCurrentIndex(0);
    setCentralWidget(tabs_);
    ConnectHandlers();

    playing_ = false;
    LoadPatterns();
    dialogFolder_ = std::make_unique<DialogFolder>(QDir::currentPath(),
                                                   QFile::decodeName(UserWorkFolder().c_str()));
    setAcceptDrops(true);
    // The controls show the start-up song: chord selectors, the probability
    // editor's first row, "Ⅰ" of the first chord, the key name.
    history_.Refresh();

    // Every list shows its entries whole, closed and open.
    for (QComboBox* list : findChildren<QComboBox*>()) {
        FitToEntries(*list);
    }
    NameMainWindowControls(*this);
    resize(kWindowWidth, kWindowHeight);
    placement_ = PlaceOnScreen(QRect(kWindowX, kWindowY, kWindowWidth, kWindowHeight));
    move(placement_);

    CreateDialogs();
}

TSMain::~TSMain() {
    // The dialogs use this window's services and song: they go first.
    delete versionDialog_;
    delete rhythmDialog_;
    delete chainDialog_;
    if (player_) {
        player_->SetNotify({});
        if (playing_) {
            // The window goes away while a song plays: silence it and tidy up.
            player_->Stop();
            player_->Close();
            QFile::remove(Q(texts::kTempMidi));
        }
    }
}

void TSMain::BuildMenuAndToolBar() {
    auto makeAction = [this](const char* name, const char* caption, const char* shortcut) {
        auto* action = Named(new QAction(Q(caption), this), name);
        if (shortcut) {
            action->setShortcut(QKeySequence(QString::fromLatin1(shortcut)));
        }
        return action;
    };
    MI_Open = makeAction("MI_Open", texts::kMenuOpen, "Ctrl+O");
    MI_Save = makeAction("MI_Save", texts::kMenuSave, "Ctrl+S");
    MI_Chain = makeAction("MI_Chain", texts::kMenuChain, "Ctrl+C");
    MI_Exit = makeAction("MI_Exit", texts::kMenuExit, "Ctrl+X");
    MI_Resist = makeAction("MI_Resist", texts::kMenuResist, "Ctrl+R");
    MI_Help = makeAction("MI_Help", texts::kMenuHelpIndex, "Ctrl+H");
    MI_About = makeAction("MI_About", texts::kMenuAbout, "Ctrl+A");
    MI_Export = makeAction("MI_Export", texts::kMenuExport, "Ctrl+E");
    MI_PianoRoll = makeAction("MI_PianoRoll", texts::kMenuPianoRoll, "Ctrl+P");
    MI_Play = makeAction("MI_Play", texts::kMenuPlayItem, nullptr);
    MI_Stop = makeAction("MI_Stop", texts::kMenuStop, nullptr);
    MI_Loop = makeAction("MI_Loop", texts::kMenuLoop, "Ctrl+L");
    MI_Loop->setCheckable(true);

    // Undo and redo name the step they take back or do again.
    QUndoStack& stack = history_.Stack();
    MI_Undo = Named(stack.createUndoAction(this, Q(texts::kMenuUndo)), "MI_Undo");
    MI_Undo->setShortcut(QKeySequence(QStringLiteral("Ctrl+Z")));
    MI_Redo = Named(stack.createRedoAction(this, Q(texts::kMenuRedo)), "MI_Redo");
    MI_Redo->setShortcuts(
        {QKeySequence(QStringLiteral("Ctrl+Y")), QKeySequence(QStringLiteral("Ctrl+Shift+Z"))});

    QMenu* file = menuBar()->addMenu(Q(texts::kMenuFile));
    file->setObjectName(QStringLiteral("MM_File"));
    file->addAction(MI_Open);
    file->addAction(MI_Save);
    file->addAction(MI_Export);
    file->addAction(MI_Chain);
    file->addAction(MI_Exit);
    QMenu* edit = menuBar()->addMenu(Q(texts::kMenuEdit));
    edit->setObjectName(QStringLiteral("MM_Edit"));
    edit->addAction(MI_Undo);
    edit->addAction(MI_Redo);
    QMenu* custom = menuBar()->addMenu(Q(texts::kMenuCustom));
    custom->setObjectName(QStringLiteral("MM_Custom"));
    custom->addAction(MI_Resist);
    QMenu* view = menuBar()->addMenu(Q(texts::kMenuView));
    view->setObjectName(QStringLiteral("MM_View"));
    view->addAction(MI_PianoRoll);
    QMenu* play = menuBar()->addMenu(Q(texts::kMenuPlay));
    play->setObjectName(QStringLiteral("MM_Play"));
    play->addAction(MI_Play);
    play->addAction(MI_Stop);
    play->addAction(MI_Loop);
    QMenu* help = menuBar()->addMenu(Q(texts::kMenuHelp));
    help->setObjectName(QStringLiteral("MM_Help"));
    help->addAction(MI_Help);
    help->addAction(MI_About);

    QToolBar* bar = Named(new QToolBar, "TB");
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(16, 16));
    bar->setContextMenuPolicy(Qt::PreventContextMenu);
    auto makeButton = [this, bar](const char* name, ToolbarPicture picture, const char* hint) {
        auto* action = Named(new QAction(ToolbarIcon(picture), Q(hint), this), name);
        action->setToolTip(Q(hint));
        bar->addAction(action);
        return action;
    };
    TB_Open = makeButton("TB_Open", ToolbarPicture::Open, texts::kHintOpen);
    TB_Save = makeButton("TB_Save", ToolbarPicture::Save, texts::kHintSave);
    TB_Export = makeButton("TB_Export", ToolbarPicture::Export, texts::kHintExport);
    TB_Chain = makeButton("TB_Chain", ToolbarPicture::Join, texts::kHintChain);
    TB_Undo = makeButton("TB_Undo", ToolbarPicture::Undo, texts::kHintUndo);
    TB_Redo = makeButton("TB_Redo", ToolbarPicture::Redo, texts::kHintRedo);
    TB_Play = makeButton("TB_Play", ToolbarPicture::Play, texts::kHintPlay);
    TB_Stop = makeButton("TB_Stop", ToolbarPicture::Stop, texts::kHintStop);
    TB_Loop = makeButton("TB_Loop", ToolbarPicture::Loop, texts::kHintLoop);
    TB_Loop->setCheckable(true);
    TB_PianoRoll = makeButton("TB_PianoRoll", ToolbarPicture::PianoRoll, texts::kHintPianoRoll);
    TB_Undo->setEnabled(stack.canUndo());
    TB_Redo->setEnabled(stack.canRedo());
    connect(&stack, &QUndoStack::canUndoChanged, TB_Undo, &QAction::setEnabled);
    connect(&stack, &QUndoStack::canRedoChanged, TB_Redo, &QAction::setEnabled);
    connect(TB_Undo, &QAction::triggered, &stack, &QUndoStack::undo);
    connect(TB_Redo, &QAction::triggered, &stack, &QUndoStack::redo);
    addToolBar(Qt::TopToolBarArea, bar);
}

void TSMain::ConnectHandlers() {
    connect(MI_Open, &QAction::triggered, this, &TSMain::MI_OpenClick);
    connect(MI_Save, &QAction::triggered, this, &TSMain::MI_SaveClick);
    connect(MI_Chain, &QAction::triggered, this, &TSMain::MI_ChainClick);
    connect(MI_Exit, &QAction::triggered, this, &TSMain::MI_ExitClick);
    connect(MI_Resist, &QAction::triggered, this, &TSMain::MI_ResistClick);
    connect(MI_Help, &QAction::triggered, this, &TSMain::MI_HelpClick);
    connect(MI_About, &QAction::triggered, this, &TSMain::MI_AboutClick);
    connect(TB_Open, &QAction::triggered, this, &TSMain::TB_OpenClick);
    connect(TB_Save, &QAction::triggered, this, &TSMain::TB_SaveClick);
    connect(TB_Chain, &QAction::triggered, this, &TSMain::TB_ChainClick);
    connect(TB_Play, &QAction::triggered, this, &TSMain::TB_PlayClick);
    connect(TB_Stop, &QAction::triggered, this, &TSMain::TB_StopClick);
    connect(MI_Play, &QAction::triggered, this, &TSMain::MI_PlayClick);
    connect(MI_Stop, &QAction::triggered, this, &TSMain::MI_StopClick);
    connect(MI_Loop, &QAction::toggled, this, &TSMain::MI_LoopClick);
    connect(TB_Loop, &QAction::toggled, this, &TSMain::TB_LoopClick);
    connect(MI_Export, &QAction::triggered, this, &TSMain::MI_ExportClick);
    connect(TB_Export, &QAction::triggered, this, &TSMain::TB_ExportClick);
    connect(MI_PianoRoll, &QAction::triggered, this, &TSMain::MI_PianoRollClick);
    connect(TB_PianoRoll, &QAction::triggered, this, &TSMain::TB_PianoRollClick);
}

void TSMain::LoadPatterns() {
    const PatternLoadResult loaded = document_.LoadPatterns(QDir::currentPath().toStdString());
    const QString text = QString::fromLatin1(kFileOpenErrorText);
    const QString caption = QString::fromLatin1(captions::kMessage);
    if (!loaded.drumFileOpened) {
        messages_->Show(text, caption);
    }
    if (!loaded.accFileOpened) {
        messages_->Show(text, caption);
    }
    soundPage_->FillPatternLists(document_.Patterns());
}

void TSMain::RefreshViews() {
    mainPage_->ShowDocument();
    soundPage_->ShowDocument();
    RefreshPianoRoll();
}

void TSMain::MI_ExitClick() {
    if (messages_->Show(Q(texts::kExitText), Q(texts::kExitCaption), MessageButtons::YesNo) !=
        MessageAnswer::Yes) {
        return;
    }
    if (!ConfirmUnsaved()) {
        return;
    }
    closeConfirmed_ = true;
    if (!close()) {
        closeConfirmed_ = false;
    }
}

// The manual in the working folder, opened by the desktop. A missing manual, or
// a desktop with nothing to open it, is said with the file's full path.
void TSMain::MI_HelpClick() {
    const QString manual = Q(texts::kHelpFile);
    const QFileInfo file(manual);
    const QString path = QDir::toNativeSeparators(file.absoluteFilePath());
    if (!file.isFile()) {
        messages_->Show(Q(texts::kHelpMissing).arg(path), QString::fromLatin1(captions::kError));
        return;
    }
    if (!opener_->Open(manual)) {
        messages_->Show(Q(texts::kHelpNotOpened).arg(path), QString::fromLatin1(captions::kError));
    }
}

bool TSMain::ConfirmUnsaved() {
    if (history_.Stack().isClean()) {
        return true;
    }
    switch (messages_->Show(Q(texts::kUnsavedText), QString::fromLatin1(captions::kWarning),
                            MessageButtons::SaveDiscardCancel)) {
        case MessageAnswer::Save:
            return SaveSong();
        case MessageAnswer::Discard:
            return true;
        default:
            return false;
    }
}

void TSMain::closeEvent(QCloseEvent* event) {
    // FormClose. Changes that were never saved are not lost without a
    // question; "終了" has asked already.
    if (!closeConfirmed_ && !ConfirmUnsaved()) {
        event->ignore();
        return;
    }
    event->accept();
}

void TSMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_) {
        return;
    }
    shown_ = true;
    LoadSoundInBackground();
    QTimer::singleShot(0, this, &TSMain::KeepOuterSize);
}

void TSMain::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    // A window manager reports its frame some time after the window is shown,
    // and moves the window inside it then.
    if (shown_) {
        KeepOuterSize();
    }
}

void TSMain::KeepOuterSize() {
    if (outerSizeApplied_) {
        return;
    }
    const QSize frame = frameGeometry().size() - geometry().size();
    if (frame.width() <= 0 && frame.height() <= 0) {
        return;  // no frame (yet)
    }
    outerSizeApplied_ = true;
    // The frame is taken off the inside, so that the outer size stays as
    // designed, at the place chosen for it.
    resize(kWindowWidth - frame.width(), kWindowHeight - frame.height());
    move(placement_);
}

}  // namespace tontoko
