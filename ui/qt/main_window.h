// The Qt main window around the rendered template 102: menu, status line with a busy indicator,
// and close requests handed to the dialog instead of closing by itself.
#pragma once

#include <QMainWindow>
#include <functional>

class QLabel;
class QProgressBar;
class QMenu;

namespace marlinq::qt {

class CMainWindow : public QMainWindow {
  public:
    explicit CMainWindow(QWidget* parent = nullptr);

    std::function<void()> onCloseRequested;
    std::function<void()> onEscape;

    QMenu* HelpMenu() const { return m_helpMenu; }
    void SetBusy(bool busy);
    bool IsBusyShown() const;
    // Lets the window really close once the dialog has ended.
    void AllowClose() { m_allowClose = true; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    QMenu* m_helpMenu;
    QLabel* m_status;
    QProgressBar* m_busy;
    bool m_allowClose = false;
};

}  // namespace marlinq::qt
