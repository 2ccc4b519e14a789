#include "ui/qt/main_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QShortcut>
#include <QStatusBar>

namespace marlinq::qt {

CMainWindow::CMainWindow(QWidget* parent) : QMainWindow(parent) {
    m_helpMenu = menuBar()->addMenu(QStringLiteral("&Help"));
    m_status = new QLabel(QStringLiteral("Ready"), this);
    m_busy = new QProgressBar(this);
    m_busy->setRange(0, 0);  // an indeterminate bar: the tool is working
    m_busy->setMaximumWidth(120);
    m_busy->setMaximumHeight(14);
    m_busy->setVisible(false);
    statusBar()->addWidget(m_status, 1);
    statusBar()->addPermanentWidget(m_busy);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    QObject::connect(escape, &QShortcut::activated, this, [this] {
        if (onEscape) {
            onEscape();
        }
    });
}

void CMainWindow::SetBusy(bool busy) {
    m_status->setText(busy ? QStringLiteral("Working...") : QStringLiteral("Ready"));
    m_busy->setVisible(busy);
}

bool CMainWindow::IsBusyShown() const {
    return m_busy->isVisible();
}

void CMainWindow::closeEvent(QCloseEvent* event) {
    if (m_allowClose) {
        event->accept();
        return;
    }
    // The dialog decides: it saves and ends, and then the window goes.
    event->ignore();
    if (onCloseRequested) {
        onCloseRequested();
    }
}

}  // namespace marlinq::qt
