// The Qt view running on the offscreen platform for one test: the application object, the window
// thread with the main window shown, and helpers to reach the dialog and its controls.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "platform/clock.h"
#include "tests/support/poll.h"
#include "ui/marlinq_dlg.h"
#include "ui/qt/app_runner.h"

namespace marlinq::qt {

class QtAppTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        static int argc = 1;
        static char name[] = "marlinq_qt_tests";
        static char* argv[] = {name, nullptr};
        if (QApplication::instance() == nullptr) {
            new QApplication(argc, argv);
        }
    }

    void SetUp() override {
        runner = std::make_unique<CAppRunner>();
        runner->Start();
        ASSERT_TRUE(WaitUntil([&] { return main() != nullptr && main()->isVisible(); }));
    }
    void TearDown() override { runner.reset(); }

    CMainWindow* main() { return runner->View().MainWindow(); }
    fw::CDialogDriver driver() {
        return fw::CDialogDriver(runner->App().Thread(), runner->View().MainHwnd());
    }
    template <class F>
    auto OnDialog(F fn) {
        return driver().Call([fn](fw::CDialog* d) { return fn(*static_cast<CMarlinqDlg*>(d)); });
    }
    QWidget* control(int id) { return runner->View().Control(runner->View().MainHwnd(), id); }

    // Runs the GUI thread's events until cond holds (true) or ms pass (false).
    static bool WaitUntil(const std::function<bool()>& cond, int ms = 10000) {
        return testsupport::PollUntil(
            [&] {
                QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
                return cond();
            },
            std::chrono::milliseconds(ms));
    }

    platform::ScopedClockScale scale{0.01};
    std::unique_ptr<CAppRunner> runner;
};

}  // namespace marlinq::qt
