#include "QtDesktop.h"

#include "ProcessList.h"
#include "SingleByteText.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QProcess>
#include <QScreen>
#include <QUrl>
#include <algorithm>

namespace {

const QString AppTitle = QStringLiteral("Pelmark II");

void CentreOnScreen(QWidget& widget) {
    widget.adjustSize();
    const QScreen* screen =
        widget.parentWidget() ? widget.parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = widget.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    widget.move(frame.topLeft());
}

// Wide enough for the whole caption (a host name may be 32 characters): the window
// manager draws it in its own, usually bold, font beside an icon and three buttons.
int CaptionWidth(const QWidget& box, const QString& caption) {
    QFont titleFont = box.font();
    titleFont.setBold(true);
    const int text = QFontMetrics(titleFont).horizontalAdvance(caption);
    int width = std::max(320, text * 5 / 4 + 160);
    if (const QScreen* screen = box.screen())
        width = std::min(width, screen->availableGeometry().width() - 40);
    return width;
}

} // namespace

std::unique_ptr<QMessageBox> MakeMessageBox(const QString& text, QMessageBox::Icon icon,
                                            QWidget* parent) {
    auto box = std::make_unique<QMessageBox>(icon, AppTitle, WithoutFormatCharacters(text),
                                             QMessageBox::Ok, parent);
    // Host names and ticker lines end up here; they are never markup.
    box->setTextFormat(Qt::PlainText);
    return box;
}

std::unique_ptr<QInputDialog> MakeInputBox(const QString& caption, const QString& prompt,
                                           QWidget* parent) {
    auto box = std::make_unique<QInputDialog>(parent);
    box->setInputMode(QInputDialog::TextInput);
    box->setWindowTitle(caption);
    box->setLabelText(WithoutFormatCharacters(prompt));
    box->setTextEchoMode(QLineEdit::Normal);
    box->setOkButtonText(QStringLiteral("OK"));
    box->setCancelButtonText(QStringLiteral("Abbrechen"));
    box->setTextValue(QString());
    // The dialog makes its label and field lazily; the setters above created them.
    for (QLabel* label : box->findChildren<QLabel*>())
        label->setTextFormat(Qt::PlainText);
    if (auto* field = box->findChild<QLineEdit*>()) {
        field->setMaxLength(255);
        // The dialog's layout sets its own minimum size, so the width goes on the field.
        const QMargins margins = box->layout() ? box->layout()->contentsMargins() : QMargins();
        field->setMinimumWidth(CaptionWidth(*box, caption) - margins.left() - margins.right());
    }
    CentreOnScreen(*box);
    return box;
}

std::unique_ptr<QFileDialog> MakeOpenFileDialog(const QString& filter, const QString& startFolder,
                                                QWidget* parent) {
    auto dialog = std::make_unique<QFileDialog>(parent, QString(), startFolder, filter);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    // The game usually lies in a hidden Wine prefix. A desktop's own dialog (a portal's)
    // cannot be told to show hidden folders; Qt's can.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setFilter(dialog->filter() | QDir::Hidden);
    return dialog;
}

void QtDesktop::showError(const QString& text) {
    MakeMessageBox(text, QMessageBox::Critical, QApplication::activeWindow())->exec();
}

void QtDesktop::showMessage(const QString& text) {
    MakeMessageBox(text, QMessageBox::NoIcon, QApplication::activeWindow())->exec();
}

std::optional<QString> QtDesktop::inputBox(const QString& caption, const QString& prompt) {
    const auto box = MakeInputBox(caption, prompt, QApplication::activeWindow());
    if (box->exec() != QDialog::Accepted)
        return std::nullopt;
    return box->textValue();
}

void QtDesktop::beep() {
    QApplication::beep();
}

std::optional<QString> QtDesktop::openFileName(QWidget* parent, const QString& filter,
                                               const QString& startFolder) {
    const auto dialog = MakeOpenFileDialog(filter, startFolder, parent);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return std::nullopt;
    return dialog->selectedFiles().constFirst();
}

QString QtDesktop::startProgram(const QString& program, const QStringList& arguments,
                                const QString& workingDirectory) {
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setWorkingDirectory(workingDirectory);
    if (process.startDetached())
        return {};
    return process.errorString();
}

QString QtDesktop::openUrl(const QUrl& url) {
    if (QDesktopServices::openUrl(url))
        return {};
    return QStringLiteral("Could not open %1.").arg(url.toDisplayString());
}

QStringList QtDesktop::listProcesses() {
    return m_processes.list();
}

std::optional<bool> QtDesktop::isProgramRunning(const QString& path) {
    return m_processes.isRunning(path);
}
