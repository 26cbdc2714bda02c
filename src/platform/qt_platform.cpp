#include "platform/qt_platform.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <cstdio>
#include <cstdlib>

#include "platform/desktop_watch.h"

namespace horalog {

namespace {

// Message texts use CR LF between lines; a label wants LF alone.
QString forDisplay(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

QMessageBox::Icon iconOf(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Critical:
            return QMessageBox::Critical;
        case MessageIcon::Question:
            return QMessageBox::Question;
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Exclamation:
            return QMessageBox::Warning;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

QtPlatform::QtPlatform() = default;

QtPlatform::QtPlatform(const QLocale& locale) : clock_(locale) {}

MessageAnswer QtPlatform::ask(QWidget* parent, const Message& message) {
    QMessageBox box(iconOf(message.icon), message.title, forDisplay(message.text),
                    QMessageBox::NoButton, parent);
    box.setTextFormat(Qt::PlainText);
    if (message.buttons == MessageButtons::Ok) {
        QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        box.setDefaultButton(ok);
        box.setEscapeButton(ok);
        box.exec();
        return MessageAnswer::Ok;
    }
    QPushButton* yes = box.addButton(QStringLiteral("Ja"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("Nej"), QMessageBox::NoRole);
    box.setDefaultButton(message.defaultButton == MessageAnswer::No ? no : yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes ? MessageAnswer::Yes : MessageAnswer::No;
}

std::optional<QString> QtPlatform::input(QWidget* parent, const InputRequest& request) {
    QInputDialog dialog(parent);
    dialog.setWindowTitle(request.title);
    dialog.setLabelText(forDisplay(request.prompt));
    dialog.setTextValue(request.proposal);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Annuller"));
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.textValue();
}

namespace {

// A file dialog that keeps open, with the reason, on a name the caller refuses.
class RefusingFileDialog : public QFileDialog {
public:
    RefusingFileDialog(QWidget* parent, const FileDialogRequest& request)
        : QFileDialog(parent, request.title, request.folder), refusal_(request.refusal) {}

    void accept() override {
        const QStringList files = selectedFiles();
        if (refusal_ && !files.isEmpty()) {
            if (const Outcome usable = refusal_(QDir::toNativeSeparators(files.constFirst()));
                !usable.ok()) {
                QMessageBox box(QMessageBox::Warning, windowTitle(), usable.error(),
                                QMessageBox::NoButton, this);
                box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
                box.exec();
                return;
            }
        }
        QFileDialog::accept();
    }

private:
    std::function<Outcome(const QString&)> refusal_;
};

}  // namespace

std::optional<QString> QtPlatform::chooseFile(QWidget* parent, const FileDialogRequest& request) {
    RefusingFileDialog dialog(parent, request);
    dialog.setObjectName(QStringLiteral("Filnavn_Dialog"));
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // "Dat fil (*.Dat)" matches «horalog.dat» too: the dialog reads the patterns without regard
    // to case.
    dialog.setNameFilters(request.filters);
    dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}

bool QtPlatform::dialogOpen() {
    return QApplication::activeModalWidget() != nullptr;
}

void QtPlatform::bringDialogForward() {
    if (QWidget* dialog = QApplication::activeModalWidget()) {
        dialog->raise();
        dialog->activateWindow();
    }
}

bool QtPlatform::trayAvailable() {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtPlatform::trayMessage(QSystemTrayIcon& icon, const QString& title, const QString& text) {
    icon.showMessage(title, text, QSystemTrayIcon::Information);
}

void QtPlatform::end(int status) {
    // Every record and setting is already on disk; nothing is pending.
    std::fflush(nullptr);
    std::_Exit(status);
}

void QtPlatform::watchDesktop(QWidget* window, std::function<void(DesktopEvent)> handler) {
    horalog::watchDesktop(window, std::move(handler));
}

}  // namespace horalog
