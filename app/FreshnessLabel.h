#pragma once

#include <QLabel>

class ListFreshness;

// The line beside the server list's count that says how fresh the rows are. It shows
// what fits; its text, its tooltip and what a screen reader reads are the whole line.
class FreshnessLabel : public QLabel {
public:
    explicit FreshnessLabel(QWidget* parent = nullptr);

    void setFreshness(const ListFreshness& freshness);
    bool showsOffline() const { return m_offline; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_offline = false;
};
