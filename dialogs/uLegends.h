#pragma once

#include <QDialog>
#include <QIcon>
#include <QList>

class QLabel;
class QPushButton;

// The static page that explains rule letters, car codes and status pictures.
// Created hidden once; shown modeless and never rebuilt.
class TfLegends : public QDialog {
    Q_OBJECT
public:
    TfLegends(const QList<QIcon>& serverImages, const QList<QIcon>& mateImages,
              QWidget* parent = nullptr);

    // Shows the window, or brings it to the front when it is already open.
    void ShowLegends();

    QPushButton* bClose = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void bCloseClick();
    QLabel* addText(const QString& text, int x, int y, bool heading = false);
    void addIconText(const QString& text, int x, int y);
    void addIcon(const QList<QIcon>& images, int index, int x, int y);
    void addLine(int x, int y, int width, int height);
};
