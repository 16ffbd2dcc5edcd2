#pragma once

#include <QBoxLayout>
#include <QGroupBox>
#include <QRadioButton>
#include <QString>

// Small helpers the main window's construction files share.
namespace tontoko::build {

inline QString Q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// Gives a new control its name.
template <class T>
T* Named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// Compact margins so that four measure groups fit side by side.
inline void Tighten(QLayout* layout, int margin = 4, int spacing = 2) {
    layout->setContentsMargins(margin, margin, margin, margin);
    layout->setSpacing(spacing);
}

inline QVBoxLayout* VBox(QWidget* parent, int margin = 4, int spacing = 2) {
    auto* layout = new QVBoxLayout(parent);
    Tighten(layout, margin, spacing);
    return layout;
}

inline QHBoxLayout* HBox(QWidget* parent, int margin = 4, int spacing = 2) {
    auto* layout = new QHBoxLayout(parent);
    Tighten(layout, margin, spacing);
    return layout;
}

inline QGroupBox* Group(const char* name, const char* caption) {
    return Named(new QGroupBox(Q(caption)), name);
}

// Runs a page's handler when `radio` becomes selected, by the user or by code.
template <class Page>
void OnSelected(Page* page, QRadioButton* radio, void (Page::*handler)()) {
    QObject::connect(radio, &QRadioButton::toggled, page, [page, handler](bool on) {
        if (on) {
            (page->*handler)();
        }
    });
}

}  // namespace tontoko::build
