#include "app/PianoRoll.h"

#include <QBuffer>
#include <QCheckBox>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "app/PianoRollTexts.h"
#include "engine/MessageCaptions.h"
#include "files/AtomicFile.h"
#include "widgets/AccessibleNames.h"
#include "widgets/AppFont.h"
#include "widgets/FileDialogs.h"
#include "widgets/Messages.h"

namespace tontoko {

namespace {

QString Q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

constexpr int kWidth = 760;
constexpr int kHeight = 470;

}  // namespace

TSPianoRoll::TSPianoRoll(QWidget* owner, FileDialogs& fileDialogs, Messages& messages)
    : QWidget(owner, Qt::Window), fileDialogs_(fileDialogs), messages_(messages) {
    setObjectName(QStringLiteral("TSPianoRoll"));
    setWindowTitle(Q(rolltexts::kCaption));
    setFont(AppFont());

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(4);
    auto* bar = new QHBoxLayout;
    bar->setSpacing(12);
    CB_RollAcc = new QCheckBox(Q(rolltexts::kShowAccompaniment));
    CB_RollAcc->setObjectName(QStringLiteral("CB_RollAcc"));
    CB_RollAcc->setChecked(false);
    auto* hint = new QLabel(Q(rolltexts::kEditHint));
    hint->setObjectName(QStringLiteral("Label_RollHint"));
    hint->setStyleSheet(QStringLiteral("color: #555555"));
    B_RollSave = new QPushButton(Q(rolltexts::kSave));
    B_RollSave->setObjectName(QStringLiteral("B_RollSave"));
    B_RollSave->setToolTip(Q(rolltexts::kSaveHint));
    bar->addWidget(CB_RollAcc);
    bar->addWidget(hint, 1);
    bar->addWidget(B_RollSave);
    layout->addLayout(bar);
    view_ = new PianoRollView(this);
    layout->addWidget(view_, 1);
    setFocusProxy(view_);
    NameControl(*CB_RollAcc, Q(rolltexts::kAccessibleShowAccompaniment));
    NameControl(*B_RollSave, Q(rolltexts::kAccessibleSave));

    timer_ = new QTimer(this);
    timer_->setInterval(kPollMilliseconds);
    connect(timer_, &QTimer::timeout, this, &TSPianoRoll::Poll);

    connect(CB_RollAcc, &QCheckBox::toggled, this, [this](bool on) {
        view_->SetShowAccompaniment(on);
        if (refresh_) {
            refresh_();
        }
        FitRows(on);
    });
    connect(B_RollSave, &QPushButton::clicked, this, &TSPianoRoll::B_RollSaveClick);

    resize(kWidth, kHeight);
    if (owner) {
        owner->installEventFilter(this);
    }
}

bool TSPianoRoll::ShowsAccompaniment() const {
    return CB_RollAcc->isChecked();
}

void TSPianoRoll::Open() {
    if (!placed_) {
        placed_ = true;
        PlaceBesideOwner();
    } else if (!isVisible() && geometry_.isValid()) {
        setGeometry(geometry_);
    }
    show();
    raise();
    activateWindow();
}

void TSPianoRoll::PlaceBesideOwner() {
    QWidget* owner = parentWidget();
    if (!owner) {
        return;
    }
    // Below the main window, or beside it, where the screen has room; else a
    // little offset over it. The frame is not known before the first show.
    constexpr int kFrame = 40;
    const QRect frame = owner->frameGeometry();
    const QRect screen = owner->screen() ? owner->screen()->availableGeometry() : QRect();
    QPoint at = frame.topLeft() + QPoint(40, 160);
    if (!screen.isEmpty()) {
        if (frame.bottom() + height() + kFrame <= screen.bottom()) {
            at = QPoint(frame.left(), frame.bottom() + 1);
        } else if (frame.right() + width() + kFrame <= screen.right()) {
            at = QPoint(frame.right() + 1, frame.top());
        }
        at.setX(std::clamp(at.x(), screen.left(),
                           std::max(screen.left(), screen.right() - width() - kFrame / 4)));
        at.setY(std::clamp(at.y(), screen.top(),
                           std::max(screen.top(), screen.bottom() - height() - kFrame)));
    }
    move(at);
}

void TSPianoRoll::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    UpdatePolling();
}

void TSPianoRoll::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (!event->spontaneous()) {
        geometry_ = geometry();
    }
    UpdatePolling();
}

bool TSPianoRoll::eventFilter(QObject* watched, QEvent* event) {
    // Closing the main window closes the roll with it.
    if (watched == parentWidget() && event->type() == QEvent::Hide && !event->spontaneous()) {
        hide();
    }
    return QWidget::eventFilter(watched, event);
}

void TSPianoRoll::FitRows(bool accompaniment) {
    constexpr int kReadableRow = 10;
    if (!accompaniment) {
        // Back to the height the user had, unless the user has resized since.
        if (grownHeight_ != 0 && height() == grownHeight_) {
            resize(width(), heightBeforeGrowing_);
        }
        grownHeight_ = 0;
        return;
    }
    const PianoRollLayout& layout = view_->Layout();
    const int missing = layout.RowCount() * kReadableRow - layout.Grid().h;
    if (missing <= 0) {
        return;
    }
    int target = height() + missing;
    const QScreen* screen = this->screen();
    if (screen) {
        const QRect available = screen->availableGeometry();
        const int frame = frameGeometry().height() - height();
        target = std::min(target, available.height() - frame);
        if (target <= height()) {
            return;
        }
        if (isVisible() && frameGeometry().top() + target + frame > available.bottom()) {
            move(x(), std::max(available.top(), available.bottom() - target - frame));
        }
    }
    heightBeforeGrowing_ = height();
    resize(width(), target);
    grownHeight_ = height();
}

void TSPianoRoll::StartPlayback(std::function<int()> tick, int startTick) {
    tick_ = std::move(tick);
    startTick_ = startTick;
    playing_ = true;
    UpdatePolling();
}

void TSPianoRoll::StopPlayback() {
    playing_ = false;
    tick_ = {};
    UpdatePolling();
}

bool TSPianoRoll::Polling() const {
    return timer_->isActive();
}

void TSPianoRoll::UpdatePolling() {
    const bool poll = playing_ && tick_ && isVisible();
    if (!poll) {
        timer_->stop();
        if (!playing_) {
            view_->SetPlayhead(std::nullopt);
        }
        return;
    }
    if (!timer_->isActive()) {
        timer_->start();
        Poll();
    }
}

void TSPianoRoll::Poll() {
    const int tick = tick_ ? tick_() : -1;
    if (tick < 0) {
        view_->SetPlayhead(std::nullopt);
        return;
    }
    view_->SetPlayhead(double(tick - startTick_) / kTicksPerStep);
}

void TSPianoRoll::B_RollSaveClick() {
    FileDialogRequest request;
    request.filter = Q(rolltexts::kSaveFilter);
    request.defaultSuffix = QString::fromLatin1(rolltexts::kSaveSuffix);
    request.confirmOverwrite = true;
    const std::optional<QString> name = fileDialogs_.SaveFileName(this, request);
    if (!name) {
        return;
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    bool written = buffer.open(QIODevice::WriteOnly) && view_->Picture().save(&buffer, "PNG");
    // Through a temporary file: a failed write leaves an existing file whole.
    written =
        written && WriteFileAtomically(QFile::encodeName(*name).toStdString(),
                                       std::string_view(bytes.constData(), size_t(bytes.size())));
    if (!written) {
        messages_.Show(Q(rolltexts::kSaveFailed).arg(QDir::toNativeSeparators(*name)),
                       QString::fromLatin1(captions::kError));
    }
}

}  // namespace tontoko
