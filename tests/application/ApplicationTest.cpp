// The application object itself: an exception escaping an event handler is
// shown with its text and the program carries on with the next event.
#include <gtest/gtest.h>

#include <QEvent>
#include <QObject>
#include <stdexcept>

#include "../support/FakeSeams.h"
#include "app/Application.h"

namespace tontoko::test {
namespace {

// An object whose event handler throws for one kind of event and counts the
// others.
class Thrower : public QObject {
  public:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::User) {
            throw std::runtime_error("something went wrong");
        }
        if (event->type() == QEvent::Type(QEvent::User + 1)) {
            ++handled;
            return true;
        }
        return QObject::event(event);
    }
    int handled = 0;
};

Application* app = nullptr;

TEST(Application, EscapedExceptionIsShownAndTheLoopCarriesOn) {
    RecordingMessages messages;
    app->SetMessages(&messages);
    Thrower thrower;

    QEvent failing(QEvent::User);
    EXPECT_NO_THROW(QCoreApplication::sendEvent(&thrower, &failing));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, QStringLiteral("something went wrong"));
    EXPECT_EQ(messages.shown[0].caption, QStringLiteral("Error"));

    // Posted events after the failing one are still delivered.
    QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
    QCoreApplication::postEvent(&thrower, new QEvent(QEvent::Type(QEvent::User + 1)));
    QCoreApplication::processEvents();
    EXPECT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(thrower.handled, 1);
    app->SetMessages(nullptr);
}

}  // namespace
}  // namespace tontoko::test

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // A Japanese desktop, as the program's users have.
    qputenv("LANG", "ja_JP.UTF-8");
    qputenv("LC_ALL", "ja_JP.UTF-8");
    tontoko::Application application(argc, argv);
    tontoko::test::app = &application;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
