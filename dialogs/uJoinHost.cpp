#include "uJoinHost.h"

#include "DialogLook.h"
#include "HostRecord.h"
#include "SingleByteText.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {
constexpr int FieldWidth = 280;
}

TfJoinHost::TfJoinHost(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Join host by name"));
    setFont(DialogFont());
    setModal(true);
    auto* column = new QVBoxLayout(this);
    column->setSizeConstraint(QLayout::SetFixedSize);
    auto* prompt = new QLabel(QStringLiteral("Name of the host to join:"), this);
    prompt->setTextFormat(Qt::PlainText);
    eHost = new QLineEdit(this);
    // A name as the list shows it has lost its colour codes: it is never longer than the
    // record's name field.
    eHost->setMaxLength(int(HostRecord::NameSize));
    eHost->setFixedWidth(FieldWidth);
    eHost->setToolTip(QStringLiteral("As the server list shows it, without colour codes; also "
                                     "a host the list does not show"));
    prompt->setBuddy(eHost);
    cbPassword = new QCheckBox(QStringLiteral("Ask for the host's password"), this);
    cbPassword->setToolTip(QStringLiteral("A listed host that wants a password is asked for it "
                                          "in any case"));
    bOk = new QPushButton(QStringLiteral("OK"), this);
    bOk->setDefault(true);
    bCancel = new QPushButton(QStringLiteral("Abbrechen"), this);
    bCancel->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(bOk);
    buttons->addWidget(bCancel);
    column->addWidget(prompt);
    column->addWidget(eHost);
    column->addWidget(cbPassword);
    column->addLayout(buttons);
    // A blank name joins nothing: OK waits for one.
    bOk->setEnabled(false);
    connect(eHost, &QLineEdit::textChanged, this,
            [this] { bOk->setEnabled(choice().has_value()); });
    connect(bOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(bCancel, &QPushButton::clicked, this, &QDialog::reject);
}

std::optional<TfJoinHost::Choice> TfJoinHost::choice() const {
    const QString host = TrimText(eHost->text());
    if (host.isEmpty())
        return std::nullopt;
    return Choice{host, cbPassword->isChecked()};
}

std::optional<TfJoinHost::Choice> TfJoinHost::Run() {
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return choice();
}

void TfJoinHost::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        adjustSize();
        CentreOnParent(this);
        eHost->setFocus();
    }
    QDialog::showEvent(event);
}
