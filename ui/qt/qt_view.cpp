#include "ui/qt/qt_view.h"

#include "framework/display_text.h"

#include <algorithm>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTabWidget>
#include <QTextCursor>
#include <QThread>
#include <QVBoxLayout>

#include "ui/qt/file_dialog.h"

namespace marlinq::qt {

namespace {

QString Q(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

std::string S(const QString& s) {
    return s.toUtf8().toStdString();
}

// The framework's log lines end in CR LF; the pane shows plain line breaks.
QString PaneText(const std::string& s) {
    QString text = Q(s);
    text.remove(QLatin1Char('\r'));
    return text;
}

// The position in `text` of a byte offset of its UTF-8 form, as the window thread counts.
int CharsBefore(const QString& text, int bytes) {
    const std::string utf8 = S(text);
    return static_cast<int>(
        Q(utf8.substr(0, std::min(static_cast<size_t>(std::max(bytes, 0)), utf8.size()))).size());
}

bool IsInput(QEvent::Type t) {
    switch (t) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Wheel:
            return true;
        default:
            return false;
    }
}

// A modal dialog of the window thread; closing it asks the dialog to cancel.
class CModalDialog : public QDialog {
  public:
    using QDialog::QDialog;
    std::function<void()> onReject;
    void reject() override {
        if (onReject) {
            onReject();
        }
    }
};

}  // namespace

// Drops input to the main window's parameters while the window thread is busy; the log pane
// can still be scrolled.
class CInputBlocker : public QObject {
  public:
    explicit CInputBlocker(CQtView& view) : m_view(view) {}
    QWidget* logPane = nullptr;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!m_view.InputBlocked() || !IsInput(event->type()) || m_view.MainWindow() == nullptr) {
            return false;
        }
        auto* w = qobject_cast<QWidget*>(watched);
        QWidget* central = m_view.MainWindow()->centralWidget();
        if (w == nullptr || central == nullptr || !central->isAncestorOf(w)) {
            return false;
        }
        if (logPane != nullptr && (w == logPane || logPane->isAncestorOf(w)) &&
            event->type() == QEvent::Wheel) {
            return false;
        }
        return true;
    }

  private:
    CQtView& m_view;
};

CQtView::CQtView(fw::CWindowThread& thread)
    : m_thread(thread),
      m_blocker(new CInputBlocker(*this)),
      m_busy({[this] { m_busyDelay.start(); }, [this] { m_busyDelay.stop(); },
              [this](bool shown) {
                  if (m_main != nullptr) {
                      m_main->SetBusy(shown);
                  }
                  if (shown) {
                      QApplication::setOverrideCursor(Qt::BusyCursor);
                  } else {
                      QApplication::restoreOverrideCursor();
                  }
              }}) {
    m_bridge = std::make_unique<view::CViewBridge>(
        thread, static_cast<view::IViewSink&>(*this),
        view::GuiThreadAccess{[this](std::function<void()> fn) {
                                  return QMetaObject::invokeMethod(&m_context, std::move(fn),
                                                                   Qt::QueuedConnection);
                              },
                              [this] { return QThread::currentThread() == m_context.thread(); }});
    m_busyDelay.setSingleShot(true);
    m_busyDelay.setInterval(view::CBusyState::kDelayMs);
    QObject::connect(&m_busyDelay, &QTimer::timeout, &m_context, [this] { m_busy.DelayElapsed(); });
    qApp->installEventFilter(m_blocker);
    QObject::connect(qApp, &QApplication::focusChanged, &m_context, [this](QWidget*, QWidget* now) {
        const auto it = m_ids.find(now);
        if (it != m_ids.end()) {
            Driver(it->second.first).Focus(it->second.second);
        }
    });
}

CQtView::~CQtView() {
    m_bridge.reset();
    qApp->removeEventFilter(m_blocker);
    delete m_blocker;
    if (m_busy.Shown()) {
        QApplication::restoreOverrideCursor();
    }
    for (auto& [hwnd, view] : m_views) {
        if (!view.child && view.window != nullptr && view.window != m_main) {
            delete view.window.data();
        }
    }
    delete m_main;
}

void CQtView::IconChanged(fw::HWND hwnd, int iconId) {
    auto it = m_views.find(hwnd);
    if (it != m_views.end() && it->second.window != nullptr && !it->second.child) {
        it->second.window->setWindowIcon(IconFor(iconId));
    }
}

void CQtView::Created(const fw::DialogInfo& info) {
    if (info.tpl == nullptr) {
        return;
    }
    View view;
    view.parent = info.parent;
    view.child = info.child;
    view.modal = info.modal;
    if (info.child) {
        auto parent = m_views.find(info.parent);
        if (parent == m_views.end()) {
            return;
        }
        auto* host = qobject_cast<QTabWidget*>(parent->second.rendered.controls[info.hostControlId]);
        view.rendered = RenderDialog(*info.tpl, nullptr);
        if (host != nullptr) {
            QSignalBlocker block(host);  // the window's own page, not the user's choice
            host->insertTab(info.hostIndex, view.rendered.root, QString());
        }
        view.window = view.rendered.root;
    } else if (info.parent == 0) {
        m_main = new CMainWindow();
        m_mainHwnd = info.hwnd;
        m_main->setWindowTitle(Q(info.tpl->caption));
        auto* central = new QWidget(m_main);
        auto* layout = new QVBoxLayout(central);
        layout->setContentsMargins(10, 8, 10, 4);
        view.rendered = RenderDialog(*info.tpl, central);
        layout->addWidget(view.rendered.root);
        m_main->setCentralWidget(central);
        const fw::HWND hwnd = info.hwnd;
        m_main->onCloseRequested = [this, hwnd] { Driver(hwnd).Close(); };
        m_main->onEscape = [this] { Driver(m_mainHwnd).KeyDown(fw::VK_ESCAPE); };
        view.window = m_main;
        if (info.tpl->columns >= 3 && view.rendered.columns.size() >= 3) {
            view.rendered.columns[0]->setMaximumWidth(260);
            view.rendered.columns[1]->setMinimumWidth(470);
        }
        m_main->resize(1180, 720);
    } else {
        auto parent = m_views.find(info.parent);
        QWidget* owner = parent != m_views.end() ? parent->second.window.data() : nullptr;
        auto* dialog = new CModalDialog(owner);
        dialog->setWindowTitle(Q(info.tpl->caption));
        dialog->setWindowModality(Qt::WindowModal);
        auto* layout = new QVBoxLayout(dialog);
        view.rendered = RenderDialog(*info.tpl, dialog);
        layout->addWidget(view.rendered.root);
        const fw::HWND hwnd = info.hwnd;
        dialog->onReject = [this, hwnd] { Driver(hwnd).Close(); };
        view.window = dialog;
    }
    auto& stored = m_views[info.hwnd] = std::move(view);
    Bind(info.hwnd, info, stored.rendered);
    for (const auto& state : info.controls) {
        Apply(info.hwnd, state);
    }
}

void CQtView::Apply(fw::HWND hwnd, const fw::ControlState& s) {
    QWidget* w = Control(hwnd, s.id);
    if (w == nullptr) {
        return;
    }
    w->setEnabled(s.enabled);
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        QSignalBlocker block(combo);
        combo->clear();
        for (const auto& item : s.items) {
            combo->addItem(Q(item));
        }
        combo->setCurrentIndex(s.curSel);
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        QSignalBlocker block(button);
        button->setChecked(s.check == fw::BST_CHECKED);
    }
}

void CQtView::Bind(fw::HWND hwnd, const fw::DialogInfo& info, const RenderedDialog& rendered) {
    for (const auto& [id, widget] : rendered.controls) {
        m_ids[widget] = {hwnd, id};
        const int cid = id;
        if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            QObject::connect(edit, &QLineEdit::textEdited, &m_context,
                             [this, hwnd, cid](const QString& text) { Driver(hwnd).Type(cid, S(text)); });
            QObject::connect(edit, &QLineEdit::returnPressed, &m_context, [this, hwnd, cid] {
                Driver(hwnd).Focus(cid);
                Driver(hwnd).KeyDown(fw::VK_RETURN);
            });
        } else if (auto* radio = qobject_cast<QRadioButton*>(widget)) {
            QObject::connect(radio, &QRadioButton::clicked, &m_context, [this, hwnd, cid, radio] {
                radio->setChecked(true);  // a click always ticks a radio button
                Driver(hwnd).Click(cid);
            });
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            QObject::connect(button, &QAbstractButton::clicked, &m_context,
                             [this, hwnd, cid] { Driver(hwnd).Click(cid); });
        } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            QObject::connect(combo, &QComboBox::activated, &m_context,
                             [this, hwnd, cid](int index) { Driver(hwnd).Select(cid, index); });
        } else if (auto* tabs = qobject_cast<QTabWidget*>(widget)) {
            // Every way the user changes the page (a click, Ctrl+Tab, Ctrl+PgUp/PgDn, the arrow keys
            // on the focused tab bar) reaches the window thread as a press on that tab, so the
            // window's selection notice always follows the page that is shown.
            QObject::connect(tabs, &QTabWidget::currentChanged, &m_context, [this, hwnd, cid](int index) {
                if (index >= 0) {
                    Driver(hwnd).Select(cid, index);
                }
            });
            // Ctrl+PgDn and Ctrl+PgUp turn the pages as on the desktop's own tab controls.
            for (const auto& [key, step] : {std::pair{Qt::Key_PageDown, 1}, std::pair{Qt::Key_PageUp, -1}}) {
                auto* turn = new QShortcut(QKeySequence(Qt::ControlModifier | key), tabs);
                turn->setContext(Qt::WidgetWithChildrenShortcut);
                QObject::connect(turn, &QShortcut::activated, tabs, [tabs, step = step] {
                    if (tabs->count() > 0) {
                        tabs->setCurrentIndex((tabs->currentIndex() + step + tabs->count()) % tabs->count());
                    }
                });
            }
        } else if (auto* pane = qobject_cast<QPlainTextEdit*>(widget)) {
            if (!info.child && info.parent == 0) {
                m_blocker->logPane = pane;
            }
        }
    }
}

QWidget* CQtView::Control(fw::HWND hwnd, int id) const {
    const auto it = m_views.find(hwnd);
    if (it == m_views.end()) {
        return nullptr;
    }
    const auto c = it->second.rendered.controls.find(id);
    return c == it->second.rendered.controls.end() ? nullptr : c->second;
}

void CQtView::Shown(fw::HWND hwnd, bool visible) {
    auto it = m_views.find(hwnd);
    if (it == m_views.end() || it->second.window == nullptr) {
        return;
    }
    View& view = it->second;
    if (view.child) {
        if (auto* tabs = qobject_cast<QTabWidget*>(
                view.window->parentWidget() ? view.window->parentWidget()->parentWidget() : nullptr)) {
            if (visible) {
                QSignalBlocker block(tabs);  // shown by the window: nothing to report back
                tabs->setCurrentWidget(view.window);
            }
        }
        return;
    }
    view.window->setVisible(visible);
    if (visible && hwnd == m_mainHwnd && onMainShown) {
        onMainShown();
    }
}

void CQtView::Destroyed(fw::HWND hwnd) {
    auto it = m_views.find(hwnd);
    if (it == m_views.end()) {
        return;
    }
    for (const auto& [id, widget] : it->second.rendered.controls) {
        m_ids.erase(widget);
    }
    QPointer<QWidget> window = it->second.window;
    const bool child = it->second.child;
    m_views.erase(it);
    if (hwnd == m_mainHwnd) {
        m_main->AllowClose();
        m_main->close();
        if (onMainEnded) {
            onMainEnded();
        }
        return;
    }
    if (!child && window != nullptr) {
        window->hide();
        window->deleteLater();
    }
}

void CQtView::Changed(const fw::ControlChange& c) {
    QWidget* w = Control(c.hwnd, c.id);
    if (w == nullptr) {
        return;
    }
    using What = fw::ControlChange::What;
    switch (c.what) {
        case What::Text:
            if (auto* edit = qobject_cast<QLineEdit*>(w)) {
                if (edit->text() != Q(c.text)) {
                    edit->setText(Q(c.text));
                }
            } else if (auto* pane = qobject_cast<QPlainTextEdit*>(w)) {
                pane->setPlainText(PaneText(c.text));
            } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
                button->setText(Q(c.text));
            } else if (auto* label = qobject_cast<QLabel*>(w)) {
                label->setText(Q(c.text));
            }
            break;
        case What::TextAppended:
            if (auto* pane = qobject_cast<QPlainTextEdit*>(w)) {
                QTextCursor cursor(pane->document());
                cursor.movePosition(QTextCursor::End);
                cursor.insertText(PaneText(c.text));
            } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
                edit->setText(edit->text() + Q(c.text));
            }
            break;
        case What::Scroll:
            if (auto* pane = qobject_cast<QPlainTextEdit*>(w)) {
                pane->verticalScrollBar()->setValue(pane->verticalScrollBar()->maximum());
            }
            break;
        case What::Enabled:
            w->setEnabled(c.value != 0);
            break;
        case What::Visible: {
            w->setVisible(c.value != 0);
            auto view = m_views.find(c.hwnd);
            if (view != m_views.end()) {
                for (QWidget* comp : view->second.rendered.companions[c.id]) {
                    comp->setVisible(c.value != 0);
                }
            }
            break;
        }
        case What::Check:
            if (auto* button = qobject_cast<QAbstractButton*>(w)) {
                QSignalBlocker block(button);
                button->setChecked(c.value == fw::BST_CHECKED);
            }
            break;
        case What::Items:
            if (auto* combo = qobject_cast<QComboBox*>(w)) {
                QSignalBlocker block(combo);
                combo->clear();
                for (const auto& item : c.items) {
                    combo->addItem(Q(item));
                }
                combo->setCurrentIndex(c.value);
            } else if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
                for (int i = 0; i < tabs->count() && i < static_cast<int>(c.items.size()); ++i) {
                    tabs->setTabText(i, Q(c.items[static_cast<size_t>(i)]));
                }
            }
            break;
        case What::CurSel:
            if (auto* combo = qobject_cast<QComboBox*>(w)) {
                QSignalBlocker block(combo);
                combo->setCurrentIndex(c.value);
            }
            break;
        case What::Icon:
            if (auto* label = qobject_cast<QLabel*>(w)) {
                label->setPixmap(IconFor(c.value).pixmap(16, 16));
            }
            break;
        case What::Selection:
            // The log pane's caret is its append point, which the appends above follow.
            if (auto* edit = qobject_cast<QLineEdit*>(w)) {
                const int start = CharsBefore(edit->text(), c.value);
                const int end = CharsBefore(edit->text(), c.value2);
                if (start == end) {
                    edit->setCursorPosition(end);
                } else {
                    edit->setSelection(start, end - start);
                }
            }
            break;
    }
}

void CQtView::FocusChanged(fw::HWND hwnd, int id) {
    if (QWidget* w = Control(hwnd, id)) {
        w->setFocus(Qt::OtherFocusReason);
    }
}

void CQtView::MenuChanged(fw::HWND hwnd, const std::vector<fw::MenuItem>& items) {
    if (hwnd != m_mainHwnd || m_main == nullptr) {
        return;
    }
    // The window's own system-menu items (Help, About) go into the Help menu of the menu bar; the
    // standard ones (move, size, close) belong to the desktop's window frame.
    QMenu* menu = m_main->HelpMenu();
    menu->clear();
    for (const auto& item : view::OwnMenuItems(items, false)) {
        if (item.separator) {
            menu->addSeparator();
            continue;
        }
        const fw::UINT id = item.id;
        QAction* action = menu->addAction(Q(item.text));
        QObject::connect(action, &QAction::triggered, &m_context,
                         [this, id] { Driver(m_mainHwnd).SysCommand(id); });
    }
}

void CQtView::Busy(bool busy) {
    m_busy.Busy(busy);
}

int CQtView::AskMessageBox(fw::HWND owner, const std::string& text, const std::string& caption,
                           fw::UINT type) {
    int result = fw::IDOK;
    {
        auto it = m_views.find(owner);
        QWidget* parent = it != m_views.end() ? it->second.window.data() : nullptr;
        QMessageBox box(parent);
        box.setWindowTitle(Q(fw::DrawnText(caption)));
        box.setText(Q(text));
        const fw::UINT icon = type & 0xF0;
        box.setIcon(icon == fw::MB_ICONERROR         ? QMessageBox::Critical
                    : icon == fw::MB_ICONWARNING     ? QMessageBox::Warning
                    : icon == fw::MB_ICONINFORMATION ? QMessageBox::Information
                                                     : QMessageBox::NoIcon);
        switch (type & 0xF) {
            case fw::MB_OKCANCEL:
                box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
                break;
            case fw::MB_YESNO:
                box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
                break;
            default:
                box.setStandardButtons(QMessageBox::Ok);
                break;
        }
        switch (box.exec()) {
            case QMessageBox::Cancel:
                result = fw::IDCANCEL;
                break;
            case QMessageBox::Yes:
                result = fw::IDYES;
                break;
            case QMessageBox::No:
                result = fw::IDNO;
                break;
            default:
                result = (type & 0xF) == fw::MB_OKCANCEL && box.clickedButton() == nullptr ? fw::IDCANCEL
                                                                                           : fw::IDOK;
                break;
        }
    }
    return result;
}

std::string CQtView::AskFile(fw::HWND owner, const fw::FileDialogRequest& request) {
    auto it = m_views.find(owner);
    return qt::AskFile(it != m_views.end() ? it->second.window.data() : nullptr, request);
}

}  // namespace marlinq::qt
