// The Qt view on the offscreen platform: layout, tab clicks, a blocked window thread, modal
// questions, and a screenshot of the main window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <thread>

#include "platform/app_directory.h"
#include "platform/clock.h"
#include "qt_app_fixture.h"
#include "tests/support/blocking_handler.h"
#include "ui/marlinq_dlg.h"
#include "ui/qt/app_runner.h"
#include "ui/resource.h"

namespace marlinq::qt {
namespace {

class QtView : public QtAppTest {
  protected:
    static QString GroupOf(QWidget* w) {
        for (QWidget* p = w; p != nullptr; p = p->parentWidget()) {
            if (auto* g = qobject_cast<QGroupBox*>(p)) {
                return g->title();
            }
        }
        return {};
    }
};

TEST_F(QtView, OpensInThreeColumnsWithTheTabsAndWritesAScreenshot) {
    EXPECT_EQ(main()->windowTitle(), "Marlinq_Eng_V3.7");
    auto* tabs = qobject_cast<QTabWidget*>(control(IDC_TAB_MODES));
    ASSERT_NE(tabs, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return tabs->count() == 4 && tabs->tabText(3) == "MQTT Mode"; }));
    EXPECT_EQ(tabs->tabText(0), "TCP/UDP Mode");
    EXPECT_EQ(tabs->tabText(1), "MODBUS Mode");
    EXPECT_EQ(tabs->tabText(2), "HTTPS Mode");
    EXPECT_EQ(tabs->currentIndex(), 0);

    auto x = [&](int id) { return control(id)->mapTo(main(), QPoint(0, 0)).x(); };
    // Left: parameters and operations; middle: tabs and console; right: the log with Help and Exit.
    EXPECT_EQ(GroupOf(control(IDC_EDIT_APP_VERSION)), "Version");
    EXPECT_EQ(GroupOf(control(IDC_COMBO_BAUDRATE)), "Basic Params");
    EXPECT_EQ(GroupOf(control(IDC_EDIT_APN)), "SimCard Params");
    EXPECT_EQ(GroupOf(control(IDC_COMBO_NETMODE)), "Other Params");
    EXPECT_EQ(GroupOf(control(IDC_BTN_GET)), "Operate");
    EXPECT_EQ(GroupOf(control(IDC_EDIT_AT_COMMAND)), "AT command");
    EXPECT_EQ(GroupOf(control(IDC_EDIT_LOG)), "Log");
    EXPECT_LT(x(IDC_BTN_GET), x(IDC_TAB_MODES));
    EXPECT_LT(x(IDC_TAB_MODES), x(IDC_EDIT_LOG));
    EXPECT_LT(x(IDC_EDIT_AT_COMMAND), x(IDC_BTN_EXIT));
    EXPECT_GT(x(IDC_BTN_HELP), x(IDC_TAB_MODES));
    EXPECT_EQ(qobject_cast<QCheckBox*>(control(IDC_CHK_CURRENT_PAGE_ONLY))->text(),
              "Download only the current mode page");
    EXPECT_FALSE(control(IDC_BTN_IMPORT_XML)->isVisible());
    EXPECT_FALSE(control(IDC_COMBO_PORT)->isVisible());
    EXPECT_FALSE(control(IDC_BTN_GET)->isEnabled());
    EXPECT_TRUE(control(IDC_BTN_SAVE)->isEnabled());

    auto* log = qobject_cast<QPlainTextEdit*>(control(IDC_EDIT_LOG));
    ASSERT_NE(log, nullptr);
    EXPECT_TRUE(log->isReadOnly());
    ASSERT_TRUE(WaitUntil([&] { return log->toPlainText().contains("Scanning equipments..."); }));
    EXPECT_FALSE(log->toPlainText().contains('\r'));
    EXPECT_EQ(main()->HelpMenu()->actions().size(), 3) << "Help, a separator, About";

    main()->resize(1180, 720);
    QCoreApplication::processEvents();
    const QString path = QStringLiteral(MARLINQ_BUILD_DIR "/main-window.png");
    ASSERT_TRUE(main()->grab().save(path));
}

TEST_F(QtView, ClickOnMqttTabReachesOnTabSelChange) {
    auto* tabs = qobject_cast<QTabWidget*>(control(IDC_TAB_MODES));
    ASSERT_TRUE(WaitUntil([&] { return tabs->count() == 4; }));
    QTabBar* bar = tabs->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(3).center());
    ASSERT_TRUE(WaitUntil([&] { return OnDialog([](CMarlinqDlg& d) { return d.CurModePage(); }) == 3; }));
    EXPECT_EQ(tabs->currentIndex(), 3);
    QCoreApplication::processEvents();
    EXPECT_TRUE(main()->grab().save(QStringLiteral(MARLINQ_BUILD_DIR "/main-window-mqtt.png")));
}

TEST_F(QtView, KeyboardTabChangesReachOnTabSelChange) {
    auto* tabs = qobject_cast<QTabWidget*>(control(IDC_TAB_MODES));
    ASSERT_TRUE(WaitUntil([&] { return tabs->count() == 4; }));
    // The page the window thinks is current and the one it shows, as the download reads them.
    auto windowPage = [&] {
        return OnDialog([](CMarlinqDlg& d) { return d.CurModePage() * 10 + d.TabSheet().GetCurPage(); });
    };
    auto reaches = [&](int page) {
        return WaitUntil([&] { return windowPage() == page * 10 + page; }) && tabs->currentIndex() == page;
    };
    QTest::keyClick(tabs, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_TRUE(reaches(1)) << "Ctrl+Tab";
    QTabBar* bar = tabs->tabBar();
    bar->setFocus();
    QTest::keyClick(bar, Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_TRUE(reaches(2)) << "Ctrl+PgDown";
    QTest::keyClick(bar, Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_TRUE(reaches(1)) << "Ctrl+PgUp";
    QTest::keyClick(bar, Qt::Key_Right);
    EXPECT_TRUE(reaches(2)) << "arrow on the tab bar";
    QTest::keyClick(bar, Qt::Key_Left);
    QTest::keyClick(bar, Qt::Key_Left);
    EXPECT_TRUE(reaches(0)) << "arrows back to the first page";
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(3).center());
    EXPECT_TRUE(reaches(3)) << "a click still works";
}

TEST_F(QtView, TypingSelectingAndEnterReachTheWindowThread) {
    auto* apn = qobject_cast<QLineEdit*>(control(IDC_EDIT_APN));
    auto* command = qobject_cast<QLineEdit*>(control(IDC_EDIT_AT_COMMAND));
    auto* baud = qobject_cast<QComboBox*>(control(IDC_COMBO_BAUDRATE));
    ASSERT_TRUE(apn && command && baud);
    QTest::keyClicks(apn, "cmnet");
    ASSERT_TRUE(WaitUntil([&] { return driver().Text(IDC_EDIT_APN) == "cmnet"; }));
    ASSERT_TRUE(WaitUntil([&] { return baud->count() == 13; }));
    baud->setFocus();
    QTest::keyClick(baud, Qt::Key_Up);  // the item above the default 115200
    ASSERT_TRUE(WaitUntil([&] { return driver().Text(IDC_COMBO_BAUDRATE) == "57600"; }));
    command->setFocus();
    QTest::keyClicks(command, "AT+CSQ");
    QTest::keyClick(command, Qt::Key_Return);
    // The console's lines in order; the scanner's own line may land between them.
    ASSERT_TRUE(WaitUntil([&] {
        const std::string log = OnDialog([](CMarlinqDlg& d) { return d.LogText(); });
        const std::size_t csq = log.find("AT+CSQ\r\n");
        return csq != std::string::npos && log.find("No scan AT port! ", csq) != std::string::npos;
    }));
    EXPECT_EQ(driver().Text(IDC_EDIT_AT_COMMAND), "AT+CSQ");
    EXPECT_TRUE(main()->isVisible()) << "Enter never closes the window";
}

TEST_F(QtView, BlockedWindowThreadLeavesTheGuiLiveAndBusy) {
    auto* log = qobject_cast<QPlainTextEdit*>(control(IDC_EDIT_LOG));
    auto* csq = qobject_cast<QPushButton*>(control(IDC_BTN_CSQ));
    std::atomic<bool> release{false};
    std::atomic<bool> done{false};
    testsupport::QueueBlockingHandler(runner->App().Thread(), runner->View().MainHwnd(), release, done);
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(10);
    ASSERT_TRUE(WaitUntil([&] { return main()->IsBusyShown(); })) << "the view shows the busy state";
    ASSERT_TRUE(WaitUntil([&] { return log->toPlainText().contains("step 3"); })) << "the log scrolls live";
    QTest::mouseClick(csq, Qt::LeftButton);  // refused while busy
    const int before = ticks;
    ASSERT_TRUE(WaitUntil([&] { return ticks >= before + 5; })) << "the GUI thread keeps processing events";
    EXPECT_FALSE(done.load());
    release = true;
    ASSERT_TRUE(WaitUntil([&] { return !main()->IsBusyShown(); }));
    EXPECT_TRUE(done.load());
    EXPECT_TRUE(log->toPlainText().contains("step 4"));
    // The CSQ query logs its command first.
    EXPECT_FALSE(OnDialog([](CMarlinqDlg& d) { return d.LogText(); }).find("AT+CSQ\r\n") !=
                 std::string::npos);
    QTest::mouseClick(csq, Qt::LeftButton);  // taken again once idle
    EXPECT_TRUE(WaitUntil([&] {
        return OnDialog([](CMarlinqDlg& d) { return d.LogText(); }).find("AT+CSQ\r\n") != std::string::npos;
    }));
}

TEST_F(QtView, MessageBoxOfTheWindowThreadIsAnsweredByTheView) {
    std::atomic<int> answer{0};
    runner->App().Thread().PostTask(runner->View().MainHwnd(), [&answer](fw::CDialog* d) {
        answer = d->MessageBox("Beat must be hex!", "\x1bMarlinq", fw::MB_YESNO | fw::MB_ICONWARNING);
    });
    // The box runs its own event loop inside the GUI thread; a timer plays the user in it.
    QString shownText;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shownText = box->text();
            box->button(QMessageBox::No)->click();
        }
    });
    user.start(20);
    ASSERT_TRUE(WaitUntil([&] { return answer.load() != 0; }));
    EXPECT_EQ(shownText, "Beat must be hex!");
    EXPECT_EQ(answer.load(), fw::IDNO);
}

TEST_F(QtView, InputRuleOfADownloadShowsAnExclamationBoxTitledWithoutTheEscape) {
    OnDialog([](CMarlinqDlg& d) {
        d.PageControls(MODE_PAGE_TCP).SetWindowText(IDC_TCP_RESET_TIME, "0");
        return 0;
    });
    runner->App().Thread().PostTask(runner->View().MainHwnd(),
                                    [](fw::CDialog* d) { static_cast<CMarlinqDlg*>(d)->OnBtnDownload(); });
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttons = 0;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            buttons = static_cast<int>(box->buttons().size());
            box->button(QMessageBox::Ok)->click();
        }
    });
    user.start(20);
    // The window thread waits on the box, so only the GUI thread's events may be run until then.
    ASSERT_TRUE(WaitUntil([&] { return !text.isEmpty(); }));
    EXPECT_NE(OnDialog([](CMarlinqDlg& d) { return d.LogText(); }).find("ResetTime cannot be set to 0!\r\n"),
              std::string::npos);
    EXPECT_EQ(title, "Marlinq");
    EXPECT_EQ(text, "ResetTime cannot be set to 0!");
    EXPECT_EQ(icon, QMessageBox::Warning);
    EXPECT_EQ(buttons, 1);
}

TEST_F(QtView, RefusedDownloadFocusesTheOffendingEditWithTheCaretAtItsEnd) {
    // The offscreen platform gives the keyboard focus only to widgets of the active window.
    main()->activateWindow();
    QApplication::setActiveWindow(main());
    ASSERT_TRUE(WaitUntil([&] { return QApplication::activeWindow() == main(); }));
    const fw::HWND tcp =
        OnDialog([](CMarlinqDlg& d) { return d.TabSheet().GetPage(MODE_PAGE_TCP)->GetSafeHwnd(); });
    auto* reset = qobject_cast<QLineEdit*>(runner->View().Control(tcp, IDC_TCP_RESET_TIME));
    auto* apn = qobject_cast<QLineEdit*>(control(IDC_EDIT_APN));
    ASSERT_TRUE(reset && apn);
    // The user types 0, moves the caret to the front and goes on to another field.
    reset->setFocus();
    reset->selectAll();
    QTest::keyClicks(reset, "0");
    QTest::keyClick(reset, Qt::Key_Home);
    apn->setFocus();
    ASSERT_TRUE(WaitUntil(
        [&] { return fw::CDialogDriver(runner->App().Thread(), tcp).Text(IDC_TCP_RESET_TIME) == "0"; }));
    ASSERT_EQ(QApplication::focusWidget(), apn);
    ASSERT_EQ(reset->cursorPosition(), 0);

    runner->App().Thread().PostTask(runner->View().MainHwnd(),
                                    [](fw::CDialog* d) { static_cast<CMarlinqDlg*>(d)->OnBtnDownload(); });
    QString text;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            text = box->text();
            box->button(QMessageBox::Ok)->click();
        }
    });
    user.start(20);
    ASSERT_TRUE(WaitUntil([&] { return !text.isEmpty(); }));
    user.stop();
    EXPECT_EQ(text, "ResetTime cannot be set to 0!");
    // Back in the window after the box, the keyboard is in the refused field behind its text.
    QApplication::setActiveWindow(main());
    EXPECT_TRUE(WaitUntil([&] { return QApplication::focusWidget() == reset; }))
        << "focus is on "
        << (QApplication::focusWidget() ? QApplication::focusWidget()->metaObject()->className()
                                        : std::string("nothing"));
    EXPECT_EQ(reset->cursorPosition(), 1);
    EXPECT_FALSE(reset->hasSelectedText());
}

TEST_F(QtView, AboutFromTheHelpMenuAndClosingTheWindowEndsTheProgram) {
    QAction* about = main()->HelpMenu()->actions().back();
    EXPECT_EQ(about->text(), "About Marlinq(&A)...");
    about->trigger();
    QDialog* box = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* d = qobject_cast<QDialog*>(w);
                d != nullptr && d->isVisible() && d->windowTitle() == "Marlinq") {
                box = d;
            }
        }
        return box != nullptr;
    }));
    EXPECT_FALSE(box->findChildren<QLabel*>().isEmpty());
    // The folder where the tool writes its files, shown read-only (this test's own folder).
    const auto edits = box->findChildren<QLineEdit*>();
    ASSERT_EQ(edits.size(), 1);
    EXPECT_TRUE(edits[0]->isReadOnly());
    EXPECT_EQ(edits[0]->text().toStdString(), platform::AppDirectoryOverride());
    EXPECT_GT(edits[0]->width(), 0);
    QPushButton* ok = nullptr;
    for (auto* b : box->findChildren<QPushButton*>()) {
        ok = b->text() == "OK" ? b : ok;
    }
    ASSERT_NE(ok, nullptr);
    QPointer<QDialog> alive(box);  // the view deletes the box once the dialog has ended
    QTest::mouseClick(ok, Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([&] { return alive.isNull() || !alive->isVisible(); }));

    bool ended = false;
    runner->View().onMainEnded = [&] { ended = true; };
    main()->close();  // the close box: the dialog ends, and with it the window
    ASSERT_TRUE(WaitUntil([&] { return ended; }));
    EXPECT_EQ(runner->Finish(), 0);
}

}  // namespace
}  // namespace marlinq::qt
