// Save and Import through the platform's file dialogs shown by the Qt view, on the offscreen
// platform: the window thread asks, the GUI thread shows the dialog, a timer plays the user.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <thread>

#include "platform/app_directory.h"
#include "platform/clock.h"
#include "qt_app_fixture.h"
#include "ui/marlinq_dlg.h"
#include "ui/qt/app_runner.h"
#include "ui/qt/file_dialog.h"
#include "ui/resource.h"

namespace marlinq::qt {
namespace {

class QtFileDialog : public QtAppTest {
  protected:
    // The log pane as the view shows it. Read on the GUI thread only: while the window thread
    // waits for a file dialog, a call into it would wait for the GUI thread in turn.
    std::string Log() {
        auto* pane = qobject_cast<QPlainTextEdit*>(control(IDC_EDIT_LOG));
        return pane != nullptr ? pane->toPlainText().toStdString() : std::string();
    }
};

// What the user saw in a file dialog before choosing.
struct Seen {
    QString title;
    QStringList filters;
    QString suffix;
    QFileDialog::AcceptMode acceptMode = QFileDialog::AcceptOpen;
    QFileDialog::FileMode fileMode = QFileDialog::AnyFile;
    bool confirmOverwrite = true;
    QString question;  // the text of a question box shown after the choice
};

// Plays the user: chooses `path` in the next file dialog and answers Yes to a question after it.
class User {
  public:
    explicit User(const QString& path) : m_path(path) {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Act(); });
        m_timer.start(20);
    }
    Seen seen;
    bool chose = false;

  private:
    void Act() {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* dialog = qobject_cast<QFileDialog*>(modal); dialog != nullptr && !chose) {
            seen.title = dialog->windowTitle();
            seen.filters = dialog->nameFilters();
            seen.suffix = dialog->defaultSuffix();
            seen.acceptMode = dialog->acceptMode();
            seen.fileMode = dialog->fileMode();
            seen.confirmOverwrite = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
            // Typed into the dialog's name field, as a user would.
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            if (name == nullptr) {
                return;
            }
            name->setText(m_path);
            chose = true;
            // Queued, so that whatever the dialog asks next is met by the next tick of this timer.
            QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            seen.question = box->text();
            box->button(QMessageBox::Yes)->click();
        }
    }
    QString m_path;
    QTimer m_timer;
};

TEST_F(QtFileDialog, SaveAndImportThroughThePlatformDialogs) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::path(platform::GetAppDirectory()) / "chosen";
    fs::create_directories(dir);
    const std::string path = (dir / "params.xml").string();
    OnDialog([](CMarlinqDlg& d) {
        d.MainControls().SetWindowText(IDC_EDIT_APN, "qt.apn");
        return 0;
    });

    {
        User user(QString::fromStdString((dir / "params").string()));  // typed without extension
        QTest::mouseClick(runner->View().Control(runner->View().MainHwnd(), IDC_BTN_SAVE), Qt::LeftButton);
        ASSERT_TRUE(WaitUntil([&] { return Log().find("生成XML文件成功!") != std::string::npos; })) << Log();
        EXPECT_EQ(user.seen.title, "Save xml file:");
        EXPECT_EQ(user.seen.filters, QStringList{"xml File (*.xml)"});
        EXPECT_EQ(user.seen.suffix, "xml");
        EXPECT_EQ(user.seen.acceptMode, QFileDialog::AcceptSave);
        EXPECT_FALSE(user.seen.confirmOverwrite);
        EXPECT_TRUE(user.seen.question.contains("params.xml")) << user.seen.question.toStdString();
    }
    ASSERT_TRUE(fs::exists(path));

    OnDialog([](CMarlinqDlg& d) {
        d.MainControls().SetWindowText(IDC_EDIT_APN, "changed");
        return 0;
    });
    {
        User user(QString::fromStdString(path));
        // The import button is hidden in the window; its command is what a press would send.
        runner->App().Thread().PostTask(runner->View().MainHwnd(), [](fw::CDialog* d) {
            d->SendMessage(fw::WM_COMMAND, fw::MAKEWPARAM(IDC_BTN_IMPORT_XML, 0), 0);
        });
        ASSERT_TRUE(
            WaitUntil([&] { return Log().find("Load XML file successfully!") != std::string::npos; }));
        EXPECT_EQ(user.seen.title, "Select xml file:");
        EXPECT_EQ(user.seen.filters, (QStringList{"xml file (*.xml)", "all files (*)"}));
        EXPECT_EQ(user.seen.acceptMode, QFileDialog::AcceptOpen);
        EXPECT_EQ(user.seen.fileMode, QFileDialog::ExistingFile);
        EXPECT_TRUE(user.seen.question.isEmpty());
    }
    EXPECT_EQ(OnDialog([](CMarlinqDlg& d) { return d.MainControls().GetWindowText(IDC_EDIT_APN); }),
              "qt.apn");
}

TEST(QtNameFilters, DescriptionAndPatternPairsBecomeQtFilters) {
    EXPECT_EQ(NameFilters("xml File (*.xml) | *.xml"), QStringList{"xml File (*.xml)"});
    EXPECT_EQ(NameFilters("xml file(*.xml)|*.xml|all files(*.*)|*.*||"),
              (QStringList{"xml file (*.xml)", "all files (*)"}));
    EXPECT_EQ(NameFilters("Configs|*.xml;*.cfg"), QStringList{"Configs (*.xml *.cfg)"});
    EXPECT_TRUE(NameFilters("").isEmpty());
    EXPECT_TRUE(NameFilters("lonely description").isEmpty());
}

}  // namespace
}  // namespace marlinq::qt
