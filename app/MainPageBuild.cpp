// Page "めいん": its construction and the connection of its handlers.
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

#include "app/GridCellDelegate.h"
#include "app/MainHelpers.h"
#include "app/MainPage.h"
#include "app/MainTexts.h"
#include "engine/ChordHints.h"
#include "engine/SChordGenerate.h"
#include "engine/SMelody.h"
#include "widgets/StringGrid.h"
#include "widgets/UpDown.h"

namespace tontoko {

using build::Group;
using build::HBox;
using build::Named;
using build::OnSelected;
using build::Q;
using build::VBox;

namespace {

QRadioButton* Radio(const char* name, const char* caption, bool checked = false) {
    auto* radio = Named(new QRadioButton(Q(caption)), name);
    radio->setChecked(checked);
    return radio;
}

// A read-only edit that shows an up-down's position.
QLineEdit* ValueEdit(const char* name, int width = 34) {
    auto* edit = Named(new QLineEdit, name);
    edit->setReadOnly(true);
    edit->setFixedWidth(width);
    edit->setAlignment(Qt::AlignRight);
    return edit;
}

UpDown* MakeUpDown(const char* name, int minimum, int maximum, int step, int position,
                   QLineEdit* buddy = nullptr, Qt::Orientation orientation = Qt::Vertical) {
    auto* upDown = Named(new UpDown(orientation), name);
    upDown->SetRange(minimum, maximum);
    upDown->SetStep(step);
    upDown->SetPosition(position);
    if (buddy) {
        upDown->SetBuddy(buddy);
    }
    return upDown;
}

// A drop-down list of the degrees "Ⅰ".."Ⅶ".
QComboBox* DegreeList(const char* name) {
    auto* list = Named(new QComboBox, name);
    for (int degree = 1; degree <= 7; ++degree) {
        list->addItem(QString::fromStdString(DegreeLabel(degree)));
    }
    return list;
}

// An edit with its up-down beside it.
QWidget* EditWithUpDown(QLineEdit* edit, UpDown* upDown) {
    auto* row = new QWidget;
    auto* layout = HBox(row, 0, 0);
    layout->addWidget(edit);
    layout->addWidget(upDown);
    layout->addStretch();
    return row;
}

}  // namespace

MainPage::MainPage(PageHost& host, QWidget* parent) : QWidget(parent), host_(host) {
    auto* layout = VBox(this, 2, 4);
    auto* top = new QHBoxLayout;
    top->setSpacing(4);
    top->addWidget(BuildSettingsGroup(), 1);
    top->addWidget(BuildEtcGroup());
    layout->addLayout(top);
    // The melody group takes the rest of the page.
    layout->addWidget(BuildMelodyGroup(), 1);
    ConnectHandlers();
}

QWidget* MainPage::BuildSettingsGroup() {
    QGroupBox* settei = Group("GB_Settei", texts::kSettei);
    auto* row = HBox(settei, 6, 6);

    // The feel and key of the song.
    QGroupBox* dur = Group("GB_Dur", texts::kDur);
    auto* durLayout = VBox(dur);
    RB_DMajor = Radio("RB_DMajor", texts::kDMajor, true);
    RB_DMinor = Radio("RB_DMinor", texts::kDMinor);
    RB_DSelf = Radio("RB_DSelf", texts::kSelfHiragana);
    durLayout->addWidget(RB_DMajor);
    durLayout->addWidget(RB_DMinor);
    durLayout->addWidget(RB_DSelf);
    GB_SelfDur = Group("GB_SelfDur", texts::kSelfDur);
    auto* selfDur = new QGridLayout(GB_SelfDur);
    build::Tighten(selfDur, 4, 3);
    Label_Dur = Named(new QLabel, "Label_Dur");
    Edit_Dur = ValueEdit("Edit_Dur");
    UD_Dur = MakeUpDown("UD_Dur", -6, 5, 1, 0, Edit_Dur);
    RB_SDMajor = Radio("RB_SDMajor", texts::kSDMajor, true);
    RB_SDMinor = Radio("RB_SDMinor", texts::kSDMinor);
    // The inner pair is a group of its own. Without one, the feel radios
    // would count it among theirs, and a click on the selected "あかるい"
    // would leave none of the three selected.
    auto* ownMode = new QButtonGroup(this);
    ownMode->addButton(RB_SDMajor);
    ownMode->addButton(RB_SDMinor);
    selfDur->addWidget(EditWithUpDown(Edit_Dur, UD_Dur), 0, 0, 1, 2);
    selfDur->addWidget(RB_SDMajor, 1, 0);
    selfDur->addWidget(RB_SDMinor, 1, 1);
    // The key name stays readable while the own-key group is disabled.
    Label_Dur->setIndent(4);
    durLayout->addWidget(Label_Dur);
    durLayout->addWidget(GB_SelfDur);
    durLayout->addStretch();
    row->addWidget(dur);

    // The tempo.
    QGroupBox* tempo = Group("GB_Tempo", texts::kTempo);
    auto* tempoLayout = VBox(tempo);
    RB_TFast = Radio("RB_TFast", texts::kTFast);
    RB_TMedium = Radio("RB_TMedium", texts::kTMedium, true);
    RB_TSlow = Radio("RB_TSlow", texts::kTSlow);
    RB_TSelf = Radio("RB_TSelf", texts::kSelfHiragana);
    for (QRadioButton* radio : {RB_TFast, RB_TMedium, RB_TSlow, RB_TSelf}) {
        tempoLayout->addWidget(radio);
    }
    GB_SelfTempo = Group("GB_SelfTempo", texts::kSelfTempo);
    auto* selfTempo = VBox(GB_SelfTempo);
    Edit_Tempo = ValueEdit("Edit_Tempo");
    UD_Tempo = MakeUpDown("UD_Tempo", 40, 240, 5, 120, Edit_Tempo);
    selfTempo->addWidget(EditWithUpDown(Edit_Tempo, UD_Tempo));
    tempoLayout->addWidget(GB_SelfTempo);
    tempoLayout->addStretch();
    row->addWidget(tempo);

    // The first chord.
    QGroupBox* chord = Group("GB_Chord", texts::kChord);
    auto* chordLayout = VBox(chord);
    RB_COne = Radio("RB_COne", texts::kCOne, true);
    RB_CRandom = Radio("RB_CRandom", texts::kCRandom);
    RB_CSelf = Radio("RB_CSelf", texts::kSelfKanji);
    chordLayout->addWidget(RB_COne);
    chordLayout->addWidget(RB_CRandom);
    chordLayout->addWidget(RB_CSelf);
    GB_SelfChord = Group("GB_SelfChord", texts::kSelfChord);
    auto* selfChord = VBox(GB_SelfChord);
    CB_CSelf = DegreeList("CB_CSelf");
    selfChord->addWidget(CB_CSelf);
    chordLayout->addWidget(GB_SelfChord);
    chordLayout->addStretch();
    row->addWidget(chord);

    // The melody style and the two generators.
    auto* column = new QVBoxLayout;
    column->setSpacing(6);
    QGroupBox* melody = Group("GB_Melody", texts::kMelody);
    auto* melodyLayout = VBox(melody);
    RB_MFour = Radio("RB_MFour", texts::kMFour, true);
    RB_MEight = Radio("RB_MEight", texts::kMEight);
    melodyLayout->addWidget(RB_MFour);
    melodyLayout->addWidget(RB_MEight);
    // Added beside the style radios; off at start, so nothing changes unless
    // the user asks for it.
    CB_Finish = Named(new QCheckBox(Q(texts::kFinish)), "CB_Finish");
    CB_Finish->setToolTip(Q(texts::kFinishHint));
    melodyLayout->addWidget(CB_Finish);
    CB_Motif = Named(new QCheckBox(Q(texts::kMotif)), "CB_Motif");
    CB_Motif->setToolTip(Q(texts::kMotifHint));
    melodyLayout->addWidget(CB_Motif);
    column->addWidget(melody);
    column->addStretch();
    B_CGenerate = Named(new QPushButton(Q(texts::kCGenerate)), "B_CGenerate");
    B_CGenerate->setToolTip(Q(texts::kCGenerateHint));
    B_MGenerate = Named(new QPushButton(Q(texts::kMGenerate)), "B_MGenerate");
    B_MGenerate->setToolTip(Q(texts::kMGenerateHint));
    for (QPushButton* button : {B_CGenerate, B_MGenerate}) {
        button->setMinimumHeight(30);
        column->addWidget(button);
    }
    row->addLayout(column);

    // All three self groups start disabled.
    SetDurSelfEnabled(false);
    SetTempoSelfEnabled(false);
    SetChordSelfEnabled(false);
    return settei;
}

QWidget* MainPage::BuildEtcGroup() {
    QGroupBox* etc = Group("GB_Etc", texts::kEtc);
    auto* layout = VBox(etc, 6, 4);

    QGroupBox* interval = Group("GB_Interval", texts::kInterval);
    auto* intervalLayout = HBox(interval, 4, 4);
    Edit_Interval = ValueEdit("Edit_Interval", 26);
    UD_Interval = MakeUpDown("UD_Interval", 0, 4, 1, 0, Edit_Interval);
    intervalLayout->addWidget(Edit_Interval);
    intervalLayout->addWidget(UD_Interval);
    intervalLayout->addWidget(Named(new QLabel(Q(texts::kIntervalLabel)), "Label_Interval"));
    intervalLayout->addStretch();
    layout->addWidget(interval);

    QGroupBox* length = Group("GB_MLength", texts::kMLength);
    auto* lengthLayout = VBox(length, 6, 1);
    Label_MLength = Named(new QLabel(Q(texts::kMLengthLabel).arg(kMeasures)), "Label_MLength");
    Label_MLength->setToolTip(Q(texts::kMLengthHint));
    lengthLayout->addWidget(Label_MLength);
    B_PartAdd = Named(new QPushButton(Q(texts::kPartAdd)), "B_PartAdd");
    B_PartAdd->setToolTip(Q(texts::kPartAddHint));
    B_PartDelete = Named(new QPushButton(Q(texts::kPartDelete)), "B_PartDelete");
    B_PartDelete->setToolTip(Q(texts::kPartDeleteHint));
    B_PartDelete->setEnabled(false);
    lengthLayout->addWidget(B_PartAdd);
    lengthLayout->addWidget(B_PartDelete);
    layout->addWidget(length);

    QGroupBox* position = Group("GB_MPos", texts::kMPos);
    auto* positionLayout = VBox(position, 6, 4);
    Label_MPos = Named(new QLabel(Q(texts::kMPosLabel).arg(1)), "Label_MPos");
    positionLayout->addWidget(Label_MPos);
    UD_MPos = MakeUpDown("UD_MPos", 0, 0, 1, 0, nullptr, Qt::Horizontal);
    UD_MPos->setToolTip(Q(texts::kMPosHint));
    positionLayout->addWidget(UD_MPos);
    layout->addWidget(position);
    layout->addStretch();
    return etc;
}

QWidget* MainPage::BuildMelodyGroup() {
    QGroupBox* group = Group("GB_GMelody", texts::kGMelody);
    auto* layout = VBox(group, 4, 4);
    auto* measures = new QHBoxLayout;
    measures->setSpacing(3);

    // Cells wide enough for the widest note name ("ﾌｧ#").
    const QFontMetrics metrics(font());
    int cellWidth = 15;
    for (const std::string& name : SMelody::Names()) {
        cellWidth = std::max(cellWidth, metrics.horizontalAdvance(QString::fromStdString(name)));
    }
    auto* cellPainter = new GridCellDelegate(this);

    static const char* const kGroups[] = {"GB_One", "GB_Two", "GB_Three", "GB_Four"};
    static const char* const kSelectors[] = {"CB_One1",   "CB_One2",   "CB_Two1",  "CB_Two2",
                                             "CB_Three1", "CB_Three2", "CB_Four1", "CB_Four2"};
    for (int m = 0; m < kMeasures; ++m) {
        QGroupBox* measure = Group(kGroups[m], texts::kMeasureCaption);
        measure->setTitle(Q(texts::kMeasureCaption).arg(m + 1));
        measureGroups_[m] = measure;
        auto* column = VBox(measure, 4, 3);
        auto* selectors = new QHBoxLayout;
        selectors->setSpacing(4);
        for (int half = 0; half < 2; ++half) {
            QComboBox* selector = DegreeList(kSelectors[2 * m + half]);
            chordSelectors_[2 * m + half] = selector;
            selectors->addWidget(selector);
        }
        selectors->addStretch();
        column->addLayout(selectors);

        const QString number = QString::number(m + 1);
        octaveGrids_[m] = new StringGrid(8, cellWidth, 18);
        octaveGrids_[m]->setObjectName(QStringLiteral("Octave") + number);
        melodyGrids_[m] = new StringGrid(8, cellWidth, 24);
        melodyGrids_[m]->setObjectName(QStringLiteral("Melody") + number);
        // What a press does, and what the octave numbers mean.
        octaveGrids_[m]->setToolTip(QString::fromStdString(OctaveRowHint(m + 1)));
        melodyGrids_[m]->setToolTip(QString::fromStdString(MelodyRowHint(m + 1)));
        for (StringGrid* grid : {octaveGrids_[m], melodyGrids_[m]}) {
            grid->setItemDelegate(cellPainter);
            column->addWidget(grid);
        }

        fixRhythm_[m] = new QCheckBox(Q(texts::kFixRhythm));
        fixRhythm_[m]->setObjectName(QStringLiteral("Fix_Rhythm") + number);
        fixMelody_[m] = new QCheckBox(Q(texts::kFixMelody));
        fixMelody_[m]->setObjectName(QStringLiteral("Fix_Melody") + number);
        fixMelody_[m]->setEnabled(false);
        column->addWidget(fixRhythm_[m]);
        column->addWidget(fixMelody_[m]);
        measures->addWidget(measure);
    }
    layout->addLayout(measures);

    auto* clearRow = new QHBoxLayout;
    clearRow->setSpacing(2);
    Edit_Measure = ValueEdit("Edit_Measure", 70);
    Edit_Measure->setText(QString::fromStdString(ClearTargetText(1)));
    Edit_Measure->setFocusPolicy(Qt::NoFocus);
    UD_Measure = MakeUpDown("UD_Measure", 1, 5, 1, 1);
    B_Clear = Named(new QPushButton(Q(texts::kClear)), "B_Clear");
    B_Clear->setToolTip(Q(texts::kClearHint));
    clearRow->addWidget(Edit_Measure);
    clearRow->addWidget(UD_Measure);
    clearRow->addSpacing(6);
    clearRow->addWidget(B_Clear);
    clearRow->addStretch();
    layout->addLayout(clearRow);
    layout->addStretch();
    return group;
}

void MainPage::ConnectHandlers() {
    OnSelected(this, RB_DMajor, &MainPage::RB_DMajorClick);
    OnSelected(this, RB_DMinor, &MainPage::RB_DMinorClick);
    OnSelected(this, RB_DSelf, &MainPage::RB_DSelfClick);
    OnSelected(this, RB_SDMajor, &MainPage::RB_SDMajorClick);
    OnSelected(this, RB_SDMinor, &MainPage::RB_SDMinorClick);
    OnSelected(this, RB_TFast, &MainPage::RB_TFastClick);
    OnSelected(this, RB_TMedium, &MainPage::RB_TMediumClick);
    OnSelected(this, RB_TSlow, &MainPage::RB_TSlowClick);
    OnSelected(this, RB_TSelf, &MainPage::RB_TSelfClick);
    OnSelected(this, RB_COne, &MainPage::RB_COneClick);
    OnSelected(this, RB_CRandom, &MainPage::RB_CRandomClick);
    OnSelected(this, RB_CSelf, &MainPage::RB_CSelfClick);
    OnSelected(this, RB_MFour, &MainPage::RB_MFourClick);
    OnSelected(this, RB_MEight, &MainPage::RB_MEightClick);
    connect(UD_Dur, &UpDown::changing, this, &MainPage::UD_DurChangingEx);
    connect(UD_Tempo, &UpDown::clicked, this, &MainPage::UD_TempoClick);
    connect(CB_CSelf, &QComboBox::activated, this, &MainPage::CB_CSelfChange);
    connect(CB_Finish, &QCheckBox::toggled, this, &MainPage::CB_FinishClick);
    connect(CB_Motif, &QCheckBox::toggled, this, &MainPage::CB_MotifClick);
    connect(B_CGenerate, &QPushButton::clicked, this, &MainPage::B_CGenerateClick);
    connect(B_MGenerate, &QPushButton::clicked, this, &MainPage::B_MGenerateClick);

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
        connect(fixMelody_[m - 1], &QCheckBox::toggled, this,
                [this, m](bool checked) { Fix_MelodyClick(m, checked); });
    }
    connect(B_Clear, &QPushButton::clicked, this, &MainPage::B_ClearClick);
    connect(UD_Measure, &UpDown::clicked, this, &MainPage::UD_MeasureClick);
    connect(UD_Interval, &UpDown::clicked, this, &MainPage::UD_IntervalClick);
    connect(UD_MPos, &UpDown::clicked, this, &MainPage::UD_MPosClick);
    connect(B_PartAdd, &QPushButton::clicked, this, &MainPage::B_PartAddClick);
    connect(B_PartDelete, &QPushButton::clicked, this, &MainPage::B_PartDeleteClick);
}

void MainPage::SetDurSelfEnabled(bool on) {
    for (QWidget* w :
         std::initializer_list<QWidget*>{GB_SelfDur, RB_SDMajor, RB_SDMinor, Edit_Dur, UD_Dur}) {
        w->setEnabled(on);
    }
}

void MainPage::SetTempoSelfEnabled(bool on) {
    for (QWidget* w : std::initializer_list<QWidget*>{GB_SelfTempo, Edit_Tempo, UD_Tempo}) {
        w->setEnabled(on);
    }
}

void MainPage::SetChordSelfEnabled(bool on) {
    for (QWidget* w : std::initializer_list<QWidget*>{GB_SelfChord, CB_CSelf}) {
        w->setEnabled(on);
    }
}

}  // namespace tontoko
