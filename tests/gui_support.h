// Helpers for driving the real desktop program headless: answering modal dialogs from a timer,
// running steps while the program waits for events, finding menu actions.
#pragma once

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QPointer>
#include <QTimer>
#include <deque>
#include <functional>
#include <string>

#include "toolkit/toolkit_testing.h"

namespace gui {

/// Answers the next modal dialogs, one handler each, in order. Each handler gets the modal
/// widget once it is visible. A guard closes any modal still open after `guard_ms`.
class ModalAnswers {
public:
    explicit ModalAnswers(std::deque<std::function<void(QWidget*)>> handlers, int guard_ms = 8000)
        : handlers_(std::move(handlers))
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start(10);
        QObject::connect(&guard_, &QTimer::timeout, [this] {
            if (QWidget* m = QApplication::activeModalWidget()) m->close();
            timed_out_ = true;
        });
        guard_.setSingleShot(true);
        guard_.start(guard_ms);
    }
    bool all_answered() const { return handlers_.empty(); }
    bool timed_out() const { return timed_out_; }

private:
    void poll()
    {
        QWidget* m = QApplication::activeModalWidget();
        if (m == nullptr || !m->isVisible() || m == last_ || handlers_.empty()) return;
        last_ = m;
        auto h = std::move(handlers_.front());
        handlers_.pop_front();
        h(m);
    }
    std::deque<std::function<void(QWidget*)>> handlers_;
    QTimer timer_, guard_;
    QPointer<QWidget> last_;
    bool timed_out_ = false;
};

/// Types a path into Qt's own file dialog and accepts it.
inline void choose_file(QWidget* modal, const std::string& path)
{
    auto* d = qobject_cast<QFileDialog*>(modal);
    if (d == nullptr) return;
    auto* name = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    name->setText(QString::fromStdString(path));
    // Pressed from the event loop, not from inside this timer's handler: a dialog that the
    // press opens (a question) must be answerable by the same timer.
    QMetaObject::invokeMethod(name, [name] { QTest::keyClick(name, Qt::Key_Return); }, Qt::QueuedConnection);
}

inline void cancel(QWidget* modal)
{
    modal->close();
}

/// Presses the button with the given text (or objectName "id<n>") in a modal widget.
inline void press(QWidget* modal, const QString& text_or_name)
{
    for (QAbstractButton* b : modal->findChildren<QAbstractButton*>())
        if (b->text().remove(QLatin1Char('&')) == text_or_name || b->objectName() == text_or_name) {
            b->click();
            return;
        }
}

/// Runs the steps one after another, each while the program sits idle in its event wait.
class Steps {
public:
    explicit Steps(std::deque<std::function<void()>> steps) : steps_(std::move(steps))
    {
        // One step at a time: a step that waits (and so runs the event loop) is not overtaken
        // by the next.
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (running_ || steps_.empty() || !toolkit::testing::idle() || QApplication::activeModalWidget() != nullptr)
                return;
            running_ = true;
            auto s = std::move(steps_.front());
            steps_.pop_front();
            s();
            running_ = false;
        });
        timer_.start(5);
    }
    bool done() const { return steps_.empty(); }

private:
    std::deque<std::function<void()>> steps_;
    QTimer timer_;
    bool running_ = false;
};

/// The menu action of a window by its text without "&".
inline QAction* menu_action(QWidget* window, const QString& text)
{
    auto* mw = qobject_cast<QMainWindow*>(window);
    if (mw == nullptr) return nullptr;
    for (QAction* a : mw->menuBar()->actions())
        if (a->text().remove(QLatin1Char('&')) == text) return a;
    return nullptr;
}

}  // namespace gui
