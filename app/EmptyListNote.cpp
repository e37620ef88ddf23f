#include "EmptyListNote.h"

#include "SingleByteText.h"

#include <QAbstractItemView>
#include <QAbstractProxyModel>
#include <QEvent>
#include <QLabel>
#include <QLocale>
#include <QVBoxLayout>

namespace {
constexpr int Margin = 8;
constexpr qsizetype MaxReasonChars = 300; // the reason may quote the service
constexpr qsizetype MaxFilterChars = 60;  // the field takes more than a line shows
const QString IdentKeyLink = QStringLiteral("Enter your ident key...");
const QString ClearFilterLink = QStringLiteral("Clear filter");
} // namespace

EmptyListNote::EmptyListNote(QAbstractItemView* list, QObject* parent)
    : QObject(parent), m_list(list), m_panel(new QWidget(list->viewport())),
      m_text(new QLabel(m_panel)), m_link(new QLabel(m_panel)) {
    m_panel->setObjectName(QStringLiteral("emptyListNote"));
    auto* layout = new QVBoxLayout(m_panel);
    layout->setContentsMargins(0, 0, 0, 0);
    m_text->setTextFormat(Qt::PlainText); // it may quote the service
    m_text->setWordWrap(true);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Our own fixed texts: the only markup here.
    m_link->setTextFormat(Qt::RichText);
    showLink(Link::IdentKey);
    m_link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    m_link->setFocusPolicy(Qt::TabFocus);
    connect(m_link, &QLabel::linkActivated, this, [this](const QString& target) {
        if (target == QLatin1String("#clearfilter"))
            Q_EMIT clearFilterRequested();
        else
            Q_EMIT identKeyRequested();
    });
    layout->addWidget(m_text);
    layout->addWidget(m_link);

    list->viewport()->installEventFilter(this);
    QAbstractItemModel* model = list->model();
    connect(model, &QAbstractItemModel::modelReset, this, &EmptyListNote::update);
    connect(model, &QAbstractItemModel::rowsInserted, this, &EmptyListNote::update);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &EmptyListNote::update);
    connect(model, &QAbstractItemModel::layoutChanged, this, &EmptyListNote::update);
    fetching();
}

void EmptyListNote::fetching() {
    m_reason = QStringLiteral("Fetching the list of hosts...");
    m_withLink = false;
    update();
}

void EmptyListNote::serviceAnswered(const QString& text) {
    m_reason = text.left(MaxReasonChars);
    m_withLink = true;
    update();
}

void EmptyListNote::failed(const QString& reason, std::optional<QTime> nextTry) {
    m_reason = reason.left(MaxReasonChars);
    if (nextTry) {
        // The sentence of the reason ends before the next one starts.
        if (!m_reason.isEmpty() && !QStringLiteral(".!?").contains(m_reason.back()))
            m_reason += QLatin1Char('.');
        m_reason += QStringLiteral(" Next try at %1.")
                        .arg(QLocale::c().toString(*nextTry, QStringLiteral("HH:mm")));
    }
    m_withLink = false;
    update();
}

void EmptyListNote::succeeded() {
    m_reason.clear();
    m_withLink = false;
    update();
}

void EmptyListNote::setGameRunning(bool running) {
    m_gameRunning = running;
    update();
}

void EmptyListNote::setFreshness(const QString& line) {
    m_freshness = line;
    update();
}

void EmptyListNote::setFilterText(const QString& typed) {
    m_filter = typed;
    update();
}

QString EmptyListNote::shownText() const {
    if (m_panel->isHidden())
        return {};
    return m_link->isHidden() ? m_text->text()
                              : m_text->text() + QLatin1Char('\n') + m_link->accessibleName();
}

void EmptyListNote::showLink(Link link) {
    if (link == m_shownLink || link == Link::None)
        return;
    m_shownLink = link;
    const bool clear = link == Link::ClearFilter;
    const QString& text = clear ? ClearFilterLink : IdentKeyLink;
    m_link->setText(
        QStringLiteral("<a href=\"#%1\">%2</a>")
            .arg(clear ? QStringLiteral("clearfilter") : QStringLiteral("identkey"), text));
    m_link->setAccessibleName(text);
}

// The rows are there, and the words typed hide them all (the standing filters may help).
bool EmptyListNote::filterHidesAll() const {
    const auto* proxy = qobject_cast<const QAbstractProxyModel*>(m_list->model());
    return !TrimText(m_filter).isEmpty() && proxy && proxy->sourceModel() &&
           proxy->rowCount() == 0 && proxy->sourceModel()->rowCount() > 0;
}

void EmptyListNote::update() {
    const bool filtered = filterHidesAll();
    QString text = m_gameRunning ? QStringLiteral("Refreshes pause while the game runs") : m_reason;
    Link link = m_withLink && !m_gameRunning ? Link::IdentKey : Link::None;
    if (filtered) {
        // As typed, but within a line and without the characters that would hide or
        // reorder it.
        const QString words = Bounded(m_filter, MaxFilterChars + 1);
        text = QStringLiteral("No host matches \"%1\"")
                   .arg(words.size() > MaxFilterChars
                            ? words.left(MaxFilterChars) + QStringLiteral("...")
                            : words);
        link = Link::ClearFilter;
    }
    const bool shown = !text.isEmpty() && m_list->model()->rowCount() == 0;
    m_text->setText(text);
    showLink(link);
    m_link->setVisible(link != Link::None);
    if (shown) {
        const QSize area = m_list->viewport()->size();
        const int width = qMax(0, area.width() - 2 * Margin);
        m_panel->setGeometry(Margin, Margin, width,
                             m_panel->heightForWidth(width) > 0 ? m_panel->heightForWidth(width)
                                                                : m_panel->sizeHint().height());
    }
    m_panel->setVisible(shown);
    // Set only when it changes: each setting is announced.
    const QString description = shown ? shownText() : m_freshness;
    if (m_list->accessibleDescription() != description)
        m_list->setAccessibleDescription(description);
}

bool EmptyListNote::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_list->viewport() && event->type() == QEvent::Resize)
        update();
    return QObject::eventFilter(watched, event);
}
