// File dialogs and message boxes. The file dialog is Qt's own (the same on every desktop, and
// scriptable in tests), in German throughout: its size and date columns are written with the
// German locale whatever the system's.
#include <QCoreApplication>
#include <QKeyEvent>
#include <QDir>
#include <algorithm>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QMessageBox>
#include <QProgressBar>
#include <QProgressDialog>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeView>

#include "toolkit/hooks.h"
#include "toolkit/qt/internal.h"
#include "messages/geoid.h"
#include "messages/messages.h"

namespace toolkit {

namespace {

using namespace detail;

// Writes the size and date columns of the dialog's file list with the German locale.
class GermanColumns : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override
    {
        const auto* fs = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || fs == nullptr || (index.column() != 1 && index.column() != 3))
            return QIdentityProxyModel::data(index, role);
        const QFileInfo info = fs->fileInfo(mapToSource(index));
        const QLocale german(QLocale::German, QLocale::Germany);
        if (index.column() == 3) return german.toString(info.lastModified(), QLocale::ShortFormat);
        if (info.isDir()) return QIdentityProxyModel::data(index, role);
        return german.formattedDataSize(info.size());
    }
};

int ask(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
        QMessageBox::StandardButtons buttons)
{
    QMessageBox box(icon, title, text, buttons, parent);
    box.setTextFormat(Qt::PlainText);
    keep_on_screen(&box);
    return box.exec();
}

// A file dialog that confirms a missing file on loading and refuses a missing directory.
class FileDialog : public QFileDialog {
public:
    FileDialog(QWidget* parent, bool load, bool prompt) : QFileDialog(parent), load_(load), prompt_(prompt) {}

    void accept() override
    {
        const QStringList files = selectedFiles();
        if (load_ && !files.isEmpty()) {
            const QFileInfo info(files.first());
            if (!info.absoluteDir().exists()) {
                ask(this, QMessageBox::Warning, windowTitle(),
                    qs(messages::fill(messages::geoid::kNoSuchFolder, {utf8(info.absolutePath())})), QMessageBox::Ok);
                return;
            }
            if (info.isDir()) {
                QFileDialog::accept();  // opens the directory in the dialog
                return;
            }
            if (prompt_ && !info.exists() &&
                ask(this, QMessageBox::Question, windowTitle(),
                    qs(messages::fill(messages::geoid::kNoSuchFile, {utf8(info.fileName())})),
                    QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
                return;
        }
        QFileDialog::accept();
    }

private:
    bool load_;
    bool prompt_;
};

// "description|pattern|..." into Qt's filters. The description is shown as it stands; the
// pattern "*.*" means every file, as it does where these filters come from, so it becomes "*"
// (Qt would take it literally and hide every name without a dot).
QStringList name_filters(const std::string& filter)
{
    QStringList filters;
    const QStringList parts = qs(filter).split(QLatin1Char('|'));
    for (qsizetype k = 0; k + 1 < parts.size(); k += 2) {
        if (parts[k].isEmpty()) continue;
        QString pattern = parts[k + 1].trimmed();
        if (pattern.isEmpty() || pattern == QStringLiteral("*.*")) pattern = QStringLiteral("*");
        filters << parts[k] + QStringLiteral(" (") + pattern + QLatin1Char(')');
    }
    return filters;
}

}  // namespace

void wselectfile2(const std::string& filter, int flags, std::string& path, const std::string& title,
                  const std::string& folder)
{
    State& s = st();
    s.file_dialog_ok = 0;
    if (answering()) {
        const std::string chosen = answer({testing::Modal::Kind::FileDialog, 0, 0, title, folder});
        if (chosen.empty()) return;
        path = chosen;
        s.file_dialog_ok = 1;
        if (flags & kDirChange) QDir::setCurrent(QFileInfo(qs(chosen)).absolutePath());
        return;
    }
    const bool load = (flags & kSaveDialog) == 0;
    FileDialog d(modal_parent(), load, (flags & kPromptOn) != 0);
    d.setOption(QFileDialog::DontUseNativeDialog);
    keep_on_screen(&d);
    d.setProxyModel(new GermanColumns(&d));
    d.setWindowTitle(qs(title));
    d.setFileMode(QFileDialog::AnyFile);
    if (load && (flags & kPromptOn)) {
        // Qt's open mode refuses a missing file outright; the save mode lets the name through
        // to accept(), which asks for confirmation instead.
        d.setAcceptMode(QFileDialog::AcceptSave);
        d.setOption(QFileDialog::DontConfirmOverwrite, true);
        d.setLabelText(QFileDialog::Accept, qs(messages::geoid::kOpenButton));
    } else {
        d.setAcceptMode(load ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
        d.setOption(QFileDialog::DontConfirmOverwrite, (flags & kPromptOn) == 0);
    }
    // The combo box shows each description as it stands, without Qt's pattern appended.
    d.setOption(QFileDialog::HideNameFilterDetails);
    if (const QStringList filters = name_filters(filter); !filters.isEmpty()) d.setNameFilters(filters);
    const QString cwd = QDir::currentPath();
    d.setDirectory(folder.empty() ? cwd : qs(folder));
    // The detail view's size, type and date columns as wide as what they show.
    if (auto* tree = d.findChild<QTreeView*>(QStringLiteral("treeView")))
        for (int c = 1; c <= 3; ++c) tree->header()->setSectionResizeMode(c, QHeaderView::ResizeToContents);
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return;
    const QString chosen = d.selectedFiles().first();
    path = utf8(QDir::toNativeSeparators(chosen));
    s.file_dialog_ok = 1;
    if (flags & kDirChange) QDir::setCurrent(QFileInfo(chosen).absolutePath());
    else QDir::setCurrent(cwd);
}

int winfodialog(int item)
{
    return item == 4 ? st().file_dialog_ok : 0;
}

void wmessagebox(int, int, int, const std::string& text, const std::string& title)
{
    if (answering()) {
        answer({testing::Modal::Kind::Message, 0, 0, title, text});
        return;
    }
    ask(modal_parent(), QMessageBox::Information, qs(title), from_crlf(text), QMessageBox::Ok);
}

namespace {

// Escape stops the computation as "Abbrechen" does (a plain progress dialog would only hide).
class ProgressDialog : public QProgressDialog {
public:
    using QProgressDialog::QProgressDialog;
    void reject() override { cancel(); }

protected:
    // Escape arrives as a key press, not through a shortcut that other windows could share.
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::ShortcutOverride && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape) {
            e->accept();
            return true;
        }
        return QProgressDialog::event(e);
    }
};

QPointer<QProgressDialog>& progress()
{
    static QPointer<QProgressDialog> dialog;
    return dialog;
}

}  // namespace

void wprogressshow(const std::string& title)
{
    wprogressclose();
    auto* d = new ProgressDialog(modal_parent());
    d->setWindowTitle(qs(title));
    d->setWindowModality(Qt::ApplicationModal);
    d->setCancelButton(new QPushButton(qs(messages::geoid::kCancelButton)));
    d->setRange(0, 100);  // whole percent, as the text says them
    d->setValue(0);
    d->setMinimumDuration(0);  // the caller decides when it is worth showing
    d->setAutoClose(false);
    d->setAutoReset(false);
    d->setMinimumWidth(360);
    if (auto* bar = d->findChild<QProgressBar*>()) bar->setAccessibleName(qs(messages::geoid::kProgressName));
    keep_on_screen(d);
    d->show();
    // The dialog takes the keyboard, so that Escape reaches it also where no window manager
    // activates new windows.
    d->activateWindow();
    progress() = d;
    QCoreApplication::processEvents();
}

int wprogressupdate(int percent, const std::string& text)
{
    QProgressDialog* d = progress();
    if (d == nullptr) return 0;
    if (answering() && answer({testing::Modal::Kind::Progress, 0, std::clamp(percent, 0, 100), utf8(d->windowTitle()), text}) == "cancel")
        d->cancel();
    // The text first: setting the value lets the dialog paint, and both must agree then.
    d->setLabelText(qs(text));
    d->setValue(std::clamp(percent, 0, 100));
    // Paints the windows and lets the cancel button be pressed; other input is blocked by
    // the dialog's modality.
    QCoreApplication::processEvents();
    return d->wasCanceled() ? 1 : 0;
}

void wprogressclose()
{
    delete progress().data();
}

}  // namespace toolkit
