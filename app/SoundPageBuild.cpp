// Page "さ　ぶ": its construction and the connection of its handlers.
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app/MainHelpers.h"
#include "app/MainTexts.h"
#include "app/SoundPage.h"
#include "engine/SChordGenerate.h"
#include "render/SoundSettings.h"
#include "widgets/UpDown.h"

namespace tontoko {

using build::Group;
using build::HBox;
using build::Named;
using build::OnSelected;
using build::Q;
using build::VBox;

namespace {

QLineEdit* ValueEdit(const QString& name, int width = 34) {
    auto* edit = new QLineEdit;
    edit->setObjectName(name);
    edit->setReadOnly(true);
    edit->setFixedWidth(width);
    edit->setAlignment(Qt::AlignRight);
    return edit;
}

UpDown* VolumeUpDown(const char* name, int position, QLineEdit* buddy) {
    auto* upDown = Named(new UpDown, name);
    upDown->SetRange(0, 120);
    upDown->SetStep(5);
    upDown->SetPosition(position);
    upDown->SetBuddy(buddy);
    return upDown;
}

QComboBox* InstrumentList(const char* name) {
    auto* list = Named(new QComboBox, name);
    list->setMaxVisibleItems(20);
    for (const std::string& entry : InstrumentNames()) {
        list->addItem(QString::fromStdString(entry));
    }
    return list;
}

}  // namespace

SoundPage::SoundPage(PageHost& host, QWidget* parent) : QWidget(parent), host_(host) {
    auto* layout = new QGridLayout(this);
    build::Tighten(layout, 6, 6);
    layout->addWidget(BuildSoundGroup(), 0, 0);
    layout->addWidget(BuildPatternGroup(), 0, 1);
    layout->addWidget(BuildChordTableGroup(), 1, 0);
    layout->addWidget(BuildFadeGroup(), 1, 1);
    QGroupBox* spare1 = Group("GroupBox7", texts::kGroup7);
    QGroupBox* spare2 = Group("GroupBox8", texts::kGroup8);
    layout->addWidget(spare1, 2, 0);
    layout->addWidget(spare2, 2, 1);
    layout->setRowStretch(2, 1);
    layout->setColumnStretch(0, 3);
    layout->setColumnStretch(1, 2);
    ConnectHandlers();
}

QWidget* SoundPage::BuildSoundGroup() {
    QGroupBox* group = Group("GroupBox1", texts::kGroup1);
    auto* row = HBox(group, 6, 6);

    QGroupBox* kinds = Group("GroupBox2", texts::kGroup2);
    auto* kindGrid = new QGridLayout(kinds);
    build::Tighten(kindGrid, 6, 4);
    CB_Melody = InstrumentList("CB_Melody");
    CB_DrumSet = Named(new QComboBox, "CB_DrumSet");
    for (const DrumSet& set : DrumSets()) {
        CB_DrumSet->addItem(QString::fromUtf8(set.name));
    }
    CB_Acc = InstrumentList("CB_Acc");
    CB_Base = InstrumentList("CB_Base");
    const std::pair<const char*, QComboBox*> kindRows[] = {{texts::kLabelMelody, CB_Melody},
                                                           {texts::kLabelDrum, CB_DrumSet},
                                                           {texts::kLabelAcc, CB_Acc},
                                                           {texts::kLabelBase, CB_Base}};
    int r = 0;
    for (const auto& [label, list] : kindRows) {
        kindGrid->addWidget(new QLabel(Q(label)), r, 0);
        kindGrid->addWidget(list, r, 1);
        ++r;
    }
    B_Random = Named(new QPushButton(Q(texts::kRandom)), "B_Random");
    kindGrid->addWidget(B_Random, r, 1, Qt::AlignRight);
    row->addWidget(kinds, 1);

    QGroupBox* volumes = Group("GroupBox3", texts::kGroup3);
    auto* volumeGrid = new QGridLayout(volumes);
    build::Tighten(volumeGrid, 6, 4);
    volumeGrid->setHorizontalSpacing(6);
    const struct {
        const char* label;
        const char* edit;
        const char* upDown;
        int position;
        UpDown** target;
    } volumeRows[] = {
        {texts::kLabelMelody, "E_VMelody", "UD_VMelody", 120, &UD_VMelody},
        {texts::kLabelAcc, "E_VAcc", "UD_VAcc", 110, &UD_VAcc},
        {texts::kLabelBase, "E_VBase", "UD_VBase", 110, &UD_VBase},
        {texts::kLabelDrum, "E_VDrum", "UD_VDrum", 110, &UD_VDrum},
    };
    r = 0;
    for (const auto& volume : volumeRows) {
        QLineEdit* edit = ValueEdit(QString::fromLatin1(volume.edit));
        *volume.target = VolumeUpDown(volume.upDown, volume.position, edit);
        volumeGrid->addWidget(new QLabel(Q(volume.label)), r, 0);
        volumeGrid->addWidget(edit, r, 1);
        volumeGrid->addWidget(*volume.target, r, 2);
        ++r;
    }
    volumeGrid->setRowStretch(r, 1);
    row->addWidget(volumes);
    return group;
}

QWidget* SoundPage::BuildPatternGroup() {
    QGroupBox* group = Group("GroupBox4", texts::kGroup4);
    auto* layout = VBox(group, 6, 4);
    // Each list with its preview button "試聴" beside it.
    auto withPreview = [](QComboBox* list, QPushButton* button) {
        auto* row = new QHBoxLayout;
        row->setSpacing(4);
        row->addWidget(list, 1);
        row->addWidget(button);
        return row;
    };
    layout->addWidget(new QLabel(Q(texts::kAccPattern)));
    CB_AccPattern = Named(new QComboBox, "CB_AccPattern");
    B_PreviewAcc = Named(new QPushButton(Q(texts::kPreview)), "B_PreviewAcc");
    layout->addLayout(withPreview(CB_AccPattern, B_PreviewAcc));
    layout->addWidget(new QLabel(Q(texts::kDrumPattern)));
    CB_DrumPattern = Named(new QComboBox, "CB_DrumPattern");
    B_PreviewDrum = Named(new QPushButton(Q(texts::kPreview)), "B_PreviewDrum");
    layout->addLayout(withPreview(CB_DrumPattern, B_PreviewDrum));
    CB_Drum = Named(new QCheckBox(Q(texts::kDrumOn)), "CB_Drum");
    CB_Drum->setChecked(true);
    layout->addWidget(CB_Drum);
    layout->addStretch();
    return group;
}

QWidget* SoundPage::BuildChordTableGroup() {
    QGroupBox* group = Group("GroupBox5", texts::kGroup5);
    auto* grid = new QGridLayout(group);
    build::Tighten(grid, 6, 4);
    grid->addWidget(new QLabel(Q(texts::kChordName)), 0, 0);
    CB_Chord = Named(new QComboBox, "CB_Chord");
    for (const char* row : texts::kRowNames) {
        CB_Chord->addItem(Q(row));
    }
    grid->addWidget(CB_Chord, 1, 0);
    grid->addWidget(new QLabel(Q(texts::kArrow)), 1, 1);
    static const int kStart[7] = {0, 5, 5, 40, 40, 5, 5};
    for (int c = 0; c < 7; ++c) {
        const QString number = QString::number(c + 1);
        auto* label = new QLabel(QString::fromStdString(DegreeLabel(c + 1)));
        label->setAlignment(Qt::AlignCenter);
        grid->addWidget(label, 0, 2 + c);
        percentEdits_[c] = ValueEdit(QStringLiteral("Percent") + number, 30);
        percentUpDowns_[c] = new UpDown;
        percentUpDowns_[c]->setObjectName(QStringLiteral("UD") + number);
        percentUpDowns_[c]->SetRange(0, 100);
        percentUpDowns_[c]->SetStep(5);
        percentUpDowns_[c]->SetPosition(kStart[c]);
        percentUpDowns_[c]->SetBuddy(percentEdits_[c]);
        auto* cell = new QWidget;
        auto* cellLayout = HBox(cell, 0, 0);
        cellLayout->addWidget(percentEdits_[c]);
        cellLayout->addWidget(percentUpDowns_[c]);
        grid->addWidget(cell, 1, 2 + c);
    }
    CBEqual = Named(new QCheckBox(Q(texts::kEqual)), "CBEqual");
    grid->addWidget(CBEqual, 2, 2, 1, 7);
    grid->setColumnStretch(9, 1);
    return group;
}

QWidget* SoundPage::BuildFadeGroup() {
    QGroupBox* group = Group("GroupBox6", texts::kGroup6);
    auto* layout = VBox(group, 6, 4);
    RB_Normal = Named(new QRadioButton(Q(texts::kNormal)), "RB_Normal");
    RB_FadeIn = Named(new QRadioButton(Q(texts::kFadeIn)), "RB_FadeIn");
    RB_FadeOut = Named(new QRadioButton(Q(texts::kFadeOut)), "RB_FadeOut");
    RB_Normal->setChecked(true);
    layout->addWidget(RB_Normal);
    layout->addWidget(RB_FadeIn);
    layout->addWidget(RB_FadeOut);
    layout->addStretch();
    return group;
}

void SoundPage::ConnectHandlers() {
    connect(B_Random, &QPushButton::clicked, this, &SoundPage::B_RandomClick);
    connect(UD_VMelody, &UpDown::clicked, this, &SoundPage::UD_VMelodyClick);
    connect(UD_VAcc, &UpDown::clicked, this, &SoundPage::UD_VAccClick);
    connect(UD_VBase, &UpDown::clicked, this, &SoundPage::UD_VBaseClick);
    connect(UD_VDrum, &UpDown::clicked, this, &SoundPage::UD_VDrumClick);
    connect(CB_Melody, &QComboBox::activated, this, &SoundPage::CB_MelodyChange);
    connect(CB_Acc, &QComboBox::activated, this, &SoundPage::CB_AccChange);
    connect(CB_Base, &QComboBox::activated, this, &SoundPage::CB_BaseChange);
    connect(CB_DrumSet, &QComboBox::activated, this, &SoundPage::CB_DrumSetChange);
    connect(CB_AccPattern, &QComboBox::activated, this, &SoundPage::CB_AccPatternChange);
    connect(CB_DrumPattern, &QComboBox::activated, this, &SoundPage::CB_DrumPatternChange);
    connect(CB_Drum, &QCheckBox::toggled, this, &SoundPage::CB_DrumClick);
    connect(B_PreviewAcc, &QPushButton::clicked, this, &SoundPage::B_PreviewAccClick);
    connect(B_PreviewDrum, &QPushButton::clicked, this, &SoundPage::B_PreviewDrumClick);
    connect(CB_Chord, &QComboBox::activated, this, &SoundPage::CB_ChordChange);
    connect(CBEqual, &QCheckBox::toggled, this, &SoundPage::CBEqualClick);
    for (int c = 0; c < 7; ++c) {
        connect(percentUpDowns_[c], &UpDown::clicked, this, [this, c] { UDClick(c); });
    }
    OnSelected(this, RB_Normal, &SoundPage::RB_NormalClick);
    OnSelected(this, RB_FadeIn, &SoundPage::RB_FadeInClick);
    OnSelected(this, RB_FadeOut, &SoundPage::RB_FadeOutClick);
}

}  // namespace tontoko
