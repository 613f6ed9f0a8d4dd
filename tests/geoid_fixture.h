// The desktop program started afresh for each test, headless, with helpers to drive it.
#pragma once

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>
#include <QTimer>
#include <gtest/gtest.h>

#include "tests/gui_support.h"
#include "app/ids.h"
#include "app/koordinaten.h"
#include "tests/model_builder.h"
#include "app/shell.h"
#include "toolkit/toolkit.h"
#include "toolkit/toolkit_testing.h"

using testing_support::TempDir;
using testing_support::write_text;

namespace {

// The program's one application object, made anew for each test.
[[maybe_unused]] geoid::Application& app()
{
    static geoid::Application a;
    return a;
}

[[maybe_unused]] geoid::Koordinaten& k()
{
    return app().koordinaten;
}

[[maybe_unused]] geoid::Windows& win()
{
    return app().windows;
}

[[maybe_unused]] QString status_text(int handle)
{
    auto* w = qobject_cast<QMainWindow*>(toolkit::testing::window_widget(handle));
    if (w == nullptr) return QStringLiteral("<no window>");
    auto* label = w->statusBar()->findChild<QLabel*>();
    return label != nullptr ? label->text() : QStringLiteral("<no status>");
}

// The window holding the menu: whichever main window is open.
[[maybe_unused]] int main_window()
{
    return win().point_window != 0 ? win().point_window : win().file_window != 0 ? win().file_window : win().start_window;
}

[[maybe_unused]] bool item_enabled(int handle, const char* text)
{
    QAction* a = gui::menu_action(toolkit::testing::window_widget(handle), QString::fromUtf8(text));
    return a != nullptr && a->isEnabled();
}

[[maybe_unused]] void trigger(const char* text)
{
    QAction* a = gui::menu_action(toolkit::testing::window_widget(main_window()), QString::fromUtf8(text));
    ASSERT_NE(a, nullptr) << text;
    a->trigger();
}

[[maybe_unused]] QString label_text(QWidget* modal, int id)
{
    auto* l = modal->findChild<QLabel*>(QStringLiteral("id%1").arg(id));
    return l != nullptr ? l->text() : QStringLiteral("<no field>");
}

class Geoid : public ::testing::Test {
protected:
    void SetUp() override
    {
        app() = geoid::Application{};
        old_cwd_ = QDir::currentPath();
        QDir::setCurrent(QString::fromStdString(dir.path()));
        geoid::startup(app());
    }
    void TearDown() override
    {
        geoid::shutdown(app());
        QDir::setCurrent(old_cwd_);
    }

    // Runs the real event loop with the steps, then "Beenden"; a watchdog ends a stuck run.
    // Returns false if the watchdog had to end it.
    bool run_loop(std::deque<std::function<void()>> steps, bool quit_at_end = true)
    {
        if (quit_at_end) steps.push_back([] { toolkit::testing::post({toolkit::EventKind::MenuSelect, main_window(), geoid::kItemQuit, 0}); });
        gui::Steps s(std::move(steps));
        bool rescued = false;
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [&] {
            rescued = true;
            if (QWidget* m = QApplication::activeModalWidget()) m->close();
            toolkit::testing::post({toolkit::EventKind::MenuSelect, main_window(), geoid::kItemQuit, 0});
        });
        watchdog.start(15000);
        geoid::event_loop(app());
        return !rescued && s.done();
    }

    std::string sample_copy(const std::string& name = "model.bin")
    {
        const std::string path = dir.file(name);
        testing_support::write_bytes(path, testing_support::read_bytes(SAMPLE_MODEL));
        return path;
    }

    TempDir dir;

private:
    QString old_cwd_;
};

}  // namespace
