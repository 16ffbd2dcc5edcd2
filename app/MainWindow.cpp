// The main window's construction, start-up order, menu, tool bar and exit.
#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMoveEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <ctime>

#include "app/MainHelpers.h"
#include "app/MainTexts.h"
#include "app/ToolbarIcons.h"
#include "app/Version.h"
#include "app/WindowPlacement.h"
#include "app/main.h"
#include "chain/Chain.h"
#include "editing/RhythmCfg.h"
#include "sound/MidiPlayer.h"
#include "widgets/AppFont.h"
#include "widgets/DocumentOpener.h"
#include "widgets/FileDialogs.h"
#include "widgets/ListWidth.h"
#include "widgets/Messages.h"
#include "widgets/StringGrid.h"
#include "widgets/UpDown.h"

namespace tontoko {

using build::Named;
using build::Q;

namespace {
// Outer frame of the window, title bar and borders included.
constexpr int kWindowX = 104;
constexpr int kWindowY = 102;
constexpr int kWindowWidth = 750;
constexpr int kWindowHeight = 578;
}  // namespace

TSMain::TSMain(const Platform& platform, QWidget* parent) : QMainWindow(parent) {
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

    setObjectName(QStringLiteral("TSMain"));
    setWindowTitle(Q(texts::kCaption));
    setFont(AppFont());

    // 1. Every control with its captions, ranges and initial states.
    BuildMenuAndToolBar();
    tabs_ = Named(new QTabWidget, "PageControl");
    tabs_->addTab(BuildMainPage(), Q(texts::kPageMain));
    tabs_->addTab(BuildSubPage(), Q(texts::kPageSub));
    tabs_->setCurrentIndex(0);
    setCentralWidget(tabs_);
    ConnectHandlers();

    // 2.-7. and 9. The song model: key, table (seeded from the clock), note
    // lengths and names, chord nodes and slots, voices with their channels.
    const uint32_t seconds =
        platform.clock ? platform.clock() : static_cast<uint32_t>(std::time(nullptr));
    song_ = std::make_unique<Song>(seconds);
    song_->SetFixedSource(this);
    // 8.
    ShowChordSlots();
    // 10.
    playing_ = false;
    // 11.
    LoadPatterns();
    // 12.
    saveDirectory_ = QDir::currentPath();
    // 13.
    CB_ChordChange();
    // 14.
    CB_CSelf->setCurrentIndex(0);
    // 15.
    ShowKeyName();

    // Every list shows its entries whole, closed and open.
    for (QComboBox* list : findChildren<QComboBox*>()) {
        FitToEntries(*list);
    }
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

    QMenu* file = menuBar()->addMenu(Q(texts::kMenuFile));
    file->setObjectName(QStringLiteral("MM_File"));
    file->addAction(MI_Open);
    file->addAction(MI_Save);
    file->addAction(MI_Export);
    file->addAction(MI_Chain);
    file->addAction(MI_Exit);
    QMenu* custom = menuBar()->addMenu(Q(texts::kMenuCustom));
    custom->setObjectName(QStringLiteral("MM_Custom"));
    custom->addAction(MI_Resist);
    QMenu* view = menuBar()->addMenu(Q(texts::kMenuView));
    view->setObjectName(QStringLiteral("MM_View"));
    view->addAction(MI_PianoRoll);
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
    TB_Play = makeButton("TB_Play", ToolbarPicture::Play, texts::kHintPlay);
    TB_Stop = makeButton("TB_Stop", ToolbarPicture::Stop, texts::kHintStop);
    TB_PianoRoll = makeButton("TB_PianoRoll", ToolbarPicture::PianoRoll, texts::kHintPianoRoll);
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
    connect(MI_Export, &QAction::triggered, this, &TSMain::MI_ExportClick);
    connect(TB_Export, &QAction::triggered, this, &TSMain::TB_ExportClick);
    connect(MI_PianoRoll, &QAction::triggered, this, &TSMain::MI_PianoRollClick);
    connect(TB_PianoRoll, &QAction::triggered, this, &TSMain::TB_PianoRollClick);

    // A radio's handler runs when it becomes selected, by the user or by code.
    auto onSelected = [this](QRadioButton* radio, void (TSMain::*handler)()) {
        connect(radio, &QRadioButton::toggled, this, [this, handler](bool on) {
            if (on) {
                (this->*handler)();
            }
        });
    };
    onSelected(RB_DMajor, &TSMain::RB_DMajorClick);
    onSelected(RB_DMinor, &TSMain::RB_DMinorClick);
    onSelected(RB_DSelf, &TSMain::RB_DSelfClick);
    onSelected(RB_SDMajor, &TSMain::RB_SDMajorClick);
    onSelected(RB_SDMinor, &TSMain::RB_SDMinorClick);
    onSelected(RB_TFast, &TSMain::RB_TFastClick);
    onSelected(RB_TMedium, &TSMain::RB_TMediumClick);
    onSelected(RB_TSlow, &TSMain::RB_TSlowClick);
    onSelected(RB_TSelf, &TSMain::RB_TSelfClick);
    onSelected(RB_COne, &TSMain::RB_COneClick);
    onSelected(RB_CRandom, &TSMain::RB_CRandomClick);
    onSelected(RB_CSelf, &TSMain::RB_CSelfClick);
    onSelected(RB_MFour, &TSMain::RB_MFourClick);
    onSelected(RB_MEight, &TSMain::RB_MEightClick);
    connect(UD_Dur, &UpDown::changing, this, &TSMain::UD_DurChangingEx);

    connect(B_CGenerate, &QPushButton::clicked, this, &TSMain::B_CGenerateClick);
    connect(B_MGenerate, &QPushButton::clicked, this, &TSMain::B_MGenerateClick);
    connect(CB_Chord, &QComboBox::activated, this, &TSMain::CB_ChordChange);
    connect(CBEqual, &QCheckBox::toggled, this, &TSMain::CBEqualClick);
    for (int c = 0; c < 7; ++c) {
        connect(percentUpDowns_[c], &UpDown::clicked, this, [this, c] { UDClick(c); });
    }

    for (int slot = 0; slot < kChordSlots; ++slot) {
        connect(chordSelectors_[slot], &QComboBox::activated, this,
                [this, slot] { ChordSelectorChange(slot); });
    }
    for (int m = 1; m <= kMeasures; ++m) {
        connect(
            melodyGrids_[m - 1], &StringGrid::mousePressed, this,
            [this, m](int column, Qt::MouseButton button) { MelodyMouseDown(m, column, button); });
        connect(melodyGrids_[m - 1], &StringGrid::keyPressed, this,
                [this, m](int key) { MelodyKeyDown(m, key); });
        connect(fixRhythm_[m - 1], &QCheckBox::toggled, this,
                [this, m](bool checked) { Fix_RhythmClick(m, checked); });
    }
    connect(B_Clear, &QPushButton::clicked, this, &TSMain::B_ClearClick);
    connect(UD_Measure, &UpDown::clicked, this, &TSMain::UD_MeasureClick);

    connect(UD_VMelody, &UpDown::clicked, this, &TSMain::UD_VMelodyClick);
    connect(UD_VAcc, &UpDown::clicked, this, &TSMain::UD_VAccClick);
    connect(UD_VBase, &UpDown::clicked, this, &TSMain::UD_VBaseClick);
    connect(UD_VDrum, &UpDown::clicked, this, &TSMain::UD_VDrumClick);
    connect(UD_Interval, &UpDown::clicked, this, &TSMain::UD_IntervalClick);
    connect(B_Random, &QPushButton::clicked, this, &TSMain::B_RandomClick);
    connect(B_PreviewAcc, &QPushButton::clicked, this, &TSMain::B_PreviewAccClick);
    connect(B_PreviewDrum, &QPushButton::clicked, this, &TSMain::B_PreviewDrumClick);
}

void TSMain::ShowChordSlots() {
    for (int slot = 0; slot < kChordSlots; ++slot) {
        chordSelectors_[slot]->setCurrentIndex(song_->SlotDegree(slot) - 1);
    }
}

void TSMain::MI_OpenClick() {}

void TSMain::TB_OpenClick() {}

void TSMain::MI_ExitClick() {
    if (messages_->Show(Q(texts::kExitText), Q(texts::kExitCaption), MessageButtons::YesNo) ==
        MessageAnswer::Yes) {
        close();
    }
}

// The manual in the working folder, opened by the desktop. A missing manual, or
// a desktop with nothing to open it, is said with the file's full path.
void TSMain::MI_HelpClick() {
    const QString manual = Q(texts::kHelpFile);
    const QFileInfo file(manual);
    const QString path = QDir::toNativeSeparators(file.absoluteFilePath());
    if (!file.isFile()) {
        messages_->Show(Q(texts::kHelpMissing).arg(path), Q(texts::kErrorCaption));
        return;
    }
    if (!opener_->Open(manual)) {
        messages_->Show(Q(texts::kHelpNotOpened).arg(path), Q(texts::kErrorCaption));
    }
}

void TSMain::closeEvent(QCloseEvent* event) {
    // FormClose: nothing is asked and nothing saved; the owned objects go with
    // the window.
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

bool TSMain::IsFixed(int measure, int kind) const {
    if (measure < 0 || measure >= kMeasures) {
        return false;
    }
    return kind == 0 ? fixRhythm_[measure]->isChecked() : fixMelody_[measure]->isChecked();
}

}  // namespace tontoko
