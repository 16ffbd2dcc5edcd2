#pragma once

#include <QString>
#include <functional>
#include <vector>

class QAccessibleEvent;
class QWidget;

namespace tontoko {

// What a screen reader calls one control of a window, found by its object
// name. An up-down also names its two arrows: `raise` the one that raises the
// value, `lower` the other.
struct ControlName {
    QString object;
    QString name;
    QString raise = {};
    QString lower = {};
};

// Gives each listed control below `root` its accessible name, and lets the
// accessible description of each follow its hint (tool tip) from now on. A
// listed control that does not exist is reported as a warning.
void NameControls(QWidget& root, const std::vector<ControlName>& names);

// One control: its name, and its description following its hint.
void NameControl(QWidget& control, const QString& name);

// The accessible description of `control`, and of each of `alsoDescribed`
// (parts of it, such as an up-down's arrows), is the control's hint now and
// whenever the hint changes.
void FollowHint(QWidget& control, const std::vector<QWidget*>& alsoDescribed = {});

// Sends an event to assistive technology. Qt passes events on only while a
// screen reader or another such technology listens; an observer, when one is
// set, sees every event sent through here either way.
void NotifyAssistiveTechnology(QAccessibleEvent& event);
using AccessibilityObserver = std::function<void(QAccessibleEvent&)>;
// Replaces the observer and returns the one before (tests).
AccessibilityObserver SetAccessibilityObserver(AccessibilityObserver observer);

}  // namespace tontoko
