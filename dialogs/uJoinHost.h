#pragma once

#include <QDialog>
#include <QString>
#include <optional>

class QCheckBox;
class QLineEdit;
class QPushButton;

// "Join host by name...": the name of a host to join, also of one the server list does
// not show (a private host the user was told of), and whether to ask for its password
// first. A listed host that wants a password is asked for it all the same, as at Join.
class TfJoinHost : public QDialog {
    Q_OBJECT
public:
    struct Choice {
        QString host; // trimmed, at most a host name's length
        bool askPassword = false;
    };

    explicit TfJoinHost(QWidget* parent = nullptr);

    // Shows the box modally, over the window it belongs to; nothing when it was cancelled.
    std::optional<Choice> Run();
    // What the fields hold now; nothing while the name is blank.
    std::optional<Choice> choice() const;

    QLineEdit* eHost = nullptr;
    QCheckBox* cbPassword = nullptr;
    QPushButton* bOk = nullptr;
    QPushButton* bCancel = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
};
