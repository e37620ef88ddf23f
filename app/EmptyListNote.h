#pragma once

#include <QObject>
#include <QString>
#include <QTime>
#include <optional>

class QAbstractItemView;
class QLabel;
class QWidget;

// The line in the empty area of the server list that says why it is empty and, where
// there is one, the next step; shown only while the list has no rows. The labels sit on
// the list's viewport, which a screen reader does not look into, so the list's own
// description says the same; while rows show, it says how fresh they are.
class EmptyListNote : public QObject {
    Q_OBJECT
public:
    explicit EmptyListNote(QAbstractItemView* list, QObject* parent = nullptr);

    void fetching();
    // The service answered with text instead of a list (a missing key, say): that text,
    // and the way to the key.
    void serviceAnswered(const QString& text);
    // nextTry: when the next tick comes; nothing when none comes on its own.
    void failed(const QString& reason, std::optional<QTime> nextTry);
    void succeeded();
    void setGameRunning(bool running);
    // "Updated 18:42" or "Offline since 18:43: REASON", for the list's description.
    void setFreshness(const QString& line);
    // The filter field's text as typed: while it hides every row of a list that has some,
    // the line says so and offers to clear it.
    void setFilterText(const QString& typed);

    QWidget* panel() const { return m_panel; }
    QLabel* textLabel() const { return m_text; }
    QLabel* linkLabel() const { return m_link; }
    // What the note says now, its link included; empty when it says nothing.
    QString shownText() const;

Q_SIGNALS:
    void identKeyRequested();
    void clearFilterRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Link { None, IdentKey, ClearFilter };
    void update();
    void showLink(Link link);
    bool filterHidesAll() const;

    QAbstractItemView* m_list;
    QWidget* m_panel;
    QLabel* m_text;
    QLabel* m_link;
    QString m_reason; // why the last refresh brought no list; empty after a good one
    QString m_freshness;
    QString m_filter;
    Link m_shownLink = Link::None;
    bool m_withLink = false;
    bool m_gameRunning = false;
};
