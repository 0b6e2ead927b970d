// The small windows of the program: the release the About box shows, Shift
// with OK for the credits, the credits' lines and their scrolling, and the
// splash window that closes on its timer or a click.

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include "app/aboutdlg.h"
#include "app/guitestsupport.h"
#include "app/mainframe.h"
#include "app/showcrd.h"
#include "app/splash.h"

namespace kestrel {
namespace {

void Click(QWidget* widget, Qt::MouseButton button, Qt::KeyboardModifiers modifiers)
{
    const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
    const QPointF global = widget->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, button, button, modifiers);
    QApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, button, Qt::NoButton, modifiers);
    QApplication::sendEvent(widget, &release);
}

void Wait(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
}

TEST(AboutRelease, TheVersionTextRule)
{
    EXPECT_EQ(ReleaseText({1, 0, 2, 0}), QStringLiteral("1.0c"));
    EXPECT_EQ(ReleaseText({1, 0, 2, 5}), QStringLiteral("1.0c-5"));
    EXPECT_EQ(ReleaseText({2, 3, 0, 0}), QStringLiteral("2.3a"));
    EXPECT_EQ(ReleaseText({10, 12, 25, 101}), QStringLiteral("10.12z-101"));
    // The program's own version reaches the box.
    const ProgramVersion v = CurrentVersion();
    EXPECT_GT(v.major + v.minor + v.patch + v.build, 0);
    CAboutDlg about;
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About Tollgate Kestrel"));
    EXPECT_EQ(about.ReleaseLine(), QStringLiteral("Release ") + ReleaseText(v));
}

TEST(AboutBox, ShiftWithOkShowsTheCreditsAndKeepsTheBoxOpen)
{
    CAboutDlg about;
    int credits = 0;
    about.SetCreditsRunner([&](QWidget* owner) {
        EXPECT_EQ(owner, &about);
        ++credits;
    });
    about.show();
    Click(about.OkButton(), Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(credits, 1);
    EXPECT_TRUE(about.isVisible());
    EXPECT_NE(about.result(), QDialog::Accepted);
    // Shift and the space bar on the focused button do the same.
    about.OkButton()->setFocus();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::ShiftModifier, QStringLiteral(" "));
    QApplication::sendEvent(about.OkButton(), &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::ShiftModifier, QStringLiteral(" "));
    QApplication::sendEvent(about.OkButton(), &release);
    EXPECT_EQ(credits, 2);
    EXPECT_TRUE(about.isVisible());
    // OK alone closes the box.
    Click(about.OkButton(), Qt::LeftButton, Qt::NoModifier);
    EXPECT_EQ(credits, 2);
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(about.result(), QDialog::Accepted);
}

TEST(Credits, HeadingsEachWithTheirNamesAndAnEmptyLine)
{
    const auto& lines = CreditLines();
    ASSERT_EQ(lines.size(), 39u);
    QStringList headings;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (!lines[i].heading)
            continue;
        headings.append(lines[i].text);
        // A heading follows an empty line (or starts the list) and has a
        // name after it.
        EXPECT_TRUE(i == 0 || lines[i - 1].text.isEmpty()) << i;
        ASSERT_LT(i + 1, lines.size());
        EXPECT_FALSE(lines[i + 1].heading);
        EXPECT_FALSE(lines[i + 1].text.isEmpty());
    }
    EXPECT_EQ(headings, (QStringList{QStringLiteral("Designers"), QStringLiteral("Programmers"),
                                     QStringLiteral("Project Managers"), QStringLiteral("Project Assistants"),
                                     QStringLiteral("Documenters"), QStringLiteral("Testers"),
                                     QStringLiteral("Customer Support")}));
    EXPECT_TRUE(lines.back().text.isEmpty());
    EXPECT_FALSE(lines.back().heading);
}

TEST(Credits, FourPassesThenTheScrollEnds)
{
    // 100 of list and 50 visible: each pass is 150, in steps of 7.
    CreditsScroll scroll(100, 50, 7);
    EXPECT_EQ(scroll.LineTop(0, 10), 50);
    int ticks = 0;
    while (scroll.Tick())
        ++ticks;
    ++ticks;
    EXPECT_EQ(scroll.Passes(), 4);
    // The fourth wrap comes after 600 of scrolling: the 86th step.
    EXPECT_EQ(ticks, 86);
    EXPECT_EQ(scroll.Position(), 86 * 7 - 600);
    EXPECT_FALSE(scroll.Tick());
    EXPECT_EQ(scroll.Passes(), 4);
    // A step of 0 (a tiny font) still moves.
    CreditsScroll slow(10, 0, 0);
    EXPECT_TRUE(slow.Tick());
    EXPECT_EQ(slow.Position(), 1);
}

TEST(Credits, TheWindowScrollsAndClosesItselfAfterFourPasses)
{
    CShowCrd credits;
    EXPECT_EQ(credits.windowTitle(), QStringLiteral("Tollgate Credits"));
    EXPECT_TRUE(credits.Running());
    EXPECT_GT(credits.TextArea().width(), 0);
    EXPECT_GT(credits.TextArea().height(), 0);
    credits.show();
    int ticks = 0;
    while (credits.isVisible() && ticks < 100000) {
        credits.Tick();
        ++ticks;
    }
    EXPECT_FALSE(credits.isVisible());
    EXPECT_EQ(credits.result(), QDialog::Accepted);
    EXPECT_FALSE(credits.Running());
    EXPECT_EQ(credits.Scroll().Passes(), 4);
    const int span = 39 * credits.LineHeight() + credits.TextArea().height();
    const int step = std::max(1, credits.LineHeight() / 6);
    EXPECT_EQ(ticks, (4 * span + step - 1) / step);

    // OK stops the timer at once.
    CShowCrd again;
    again.show();
    again.OkButton()->click();
    EXPECT_FALSE(again.Running());
    EXPECT_FALSE(again.isVisible());
}

TEST(Splash, ClosesOnALeftClickOrAfterItsTime)
{
    QPointer<CSplash> splash = new CSplash;
    EXPECT_EQ(splash->Timer()->interval(), 3000);
    EXPECT_TRUE(splash->Timer()->isActive());
    splash->show();
    Click(splash, Qt::RightButton, Qt::NoModifier);
    EXPECT_TRUE(splash->isVisible());
    Click(splash, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(splash.isNull());

    QPointer<CSplash> timed = new CSplash(30);
    timed->show();
    Wait(300);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(timed.isNull());
}

// At start-up the splash stays above the main window, which comes up after
// it, and gives way to a question asked meanwhile.
TEST(Splash, StaysOnTopAndGivesWayToAQuestion)
{
    test::TempDir dir;
    test::ScriptedAsker asker;
    qunsetenv("KESTREL_NO_SPLASH");
    CSubApp app({QStringLiteral("/ini=") + test::Q(dir.file("kestrel.ini"))});
    app.SetAsker(&asker);
    app.InitInstance();
    qputenv("KESTREL_NO_SPLASH", "1");
    QPointer<CSplash> splash = app.Splash();
    ASSERT_FALSE(splash.isNull());
    EXPECT_TRUE(splash->isVisible() && splash->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QMessageBox question(QMessageBox::Question, QString(), QString(), QMessageBox::Ok, app.MainFrame());
    question.open();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(splash.isNull());
    app.ExitInstance();
}

} // namespace
} // namespace kestrel
