#include "ServerFinder.h"

#include "Desktop.h"
#include "EmptyListNote.h"
#include "ErrorHandler.h"
#include "FreshnessLabel.h"
#include "MainCommands.h"
#include "PlainText.h"
#include "ProgramSettings.h"
#include "QuillonPubStats.h"
#include "RosterCommands.h"
#include "ServerListView.h"
#include "Sightings.h"
#include "SingleByteText.h"

#include <QAction>
#include <QClipboard>
#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>
#include <algorithm>

namespace {

// Where the bar sits in the panel below the list: beside "Show legends", to the right edge.
constexpr int BarLeft = 110;
constexpr int BarTop = 72;
constexpr int BarHeight = 25;
constexpr int BarRightMargin = 6;
constexpr int MaxMenuRacers = 48;

using Standing = bool ServerFilterOptions::*;
// The menu's standing filters, in their order.
const std::pair<QString, Standing> StandingItems[] = {
    {QStringLiteral("Hide empty hosts"), &ServerFilterOptions::hideEmpty},
    {QStringLiteral("Hide full hosts"), &ServerFilterOptions::hideFull},
    {QStringLiteral("Hide private hosts"), &ServerFilterOptions::hidePrivate},
    {QStringLiteral("Only favourite hosts and hosts with mates"),
     &ServerFilterOptions::onlyFavouritesAndMates},
    {QStringLiteral("Only favourite hosts, recent hosts and hosts with mates"),
     &ServerFilterOptions::onlyFavouritesRecentAndMates}};
// " — already in Friends", " — already in Friends and 2 more" for a racer who is a mate.
QString alreadyIn(const QStringList& groups) {
    if (groups.isEmpty())
        return {};
    const QString first = QStringLiteral(" \u2014 already in ") + Bounded(groups.first(), 40);
    return groups.size() == 1 ? first
                              : first + QStringLiteral(" and %1 more").arg(groups.size() - 1);
}

} // namespace

ServerFinder::ServerFinder(Context context, QObject* parent)
    : QObject(parent), m_c(std::move(context)),
      m_favourites(m_c.dataDir + QStringLiteral("FavouriteHosts.json")) {
    m_favourites.load();
    m_c.view->rows().setFavourites(m_favourites.hosts());
    makeBar();
    // The settings are read when the window's creation sequence starts.
    connect(m_c.settings, &ProgramSettings::optionsChanged, this, [this] {
        showStanding(m_c.settings->filters);
        m_c.view->proxy().setStanding(m_c.settings->filters);
    });
    connect(m_c.view, &ServerListView::rowMenuRequested, this, [this](int row, const QPoint& at) {
        Guarded(*m_c.desktop, [&] { rowMenu(row)->exec(at); });
    });
    connect(m_c.view, &ServerListView::listMenuRequested, this,
            [this](const QPoint& at) { Guarded(*m_c.desktop, [&] { listMenu()->exec(at); }); });
    // The rows the filters leave can change with every refresh, sort or typed letter.
    ServerSortProxy& shown = m_c.view->proxy();
    for (const auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(&shown, signal, this, &ServerFinder::updateShowing);
    connect(&shown, &QAbstractItemModel::modelReset, this, &ServerFinder::updateShowing);
    connect(&shown, &QAbstractItemModel::layoutChanged, this, &ServerFinder::updateShowing);
}

ServerFinder::~ServerFinder() = default;

void ServerFinder::makeBar() {
    m_bar = new QWidget(m_c.barParent);
    auto* row = new QHBoxLayout(m_bar);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);
    eFilter = new QLineEdit(m_bar);
    eFilter->setPlaceholderText(QStringLiteral("Filter: host, track, car or racer"));
    eFilter->setClearButtonEnabled(true);
    // The clear button is read by a screen reader like every other button.
    for (QToolButton* clear : eFilter->findChildren<QToolButton*>()) {
        clear->setAccessibleName(QStringLiteral("Clear the filter"));
        clear->setToolTip(QStringLiteral("Clear the filter (Escape)"));
    }
    eFilter->setMaxLength(200);
    eFilter->setAccessibleName(QStringLiteral("Filter the server list"));
    eFilter->setToolTip(QStringLiteral("Shows the hosts whose name, track, cars or racers hold "
                                       "every word typed here (Ctrl+F)"));
    bFilters = new QToolButton(m_bar);
    bFilters->setText(QStringLiteral("Filters"));
    bFilters->setAccessibleName(QStringLiteral("Standing filters"));
    bFilters->setToolTip(QStringLiteral("Hides empty, full or private hosts"));
    bFilters->setPopupMode(QToolButton::InstantPopup);
    bFilters->setMenu(makeFilterMenu());
    lShowing = new QLabel(m_bar);
    lShowing->setTextFormat(Qt::PlainText);
    lFreshness = new FreshnessLabel(m_bar);
    row->addWidget(eFilter, 1);
    row->addWidget(bFilters);
    row->addWidget(lShowing);
    row->addWidget(lFreshness);
    connect(eFilter, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_c.view->proxy().setFilterText(text);
        if (m_c.note)
            m_c.note->setFilterText(text); // after the rows it judges are filtered
    });
    if (m_c.note) {
        connect(m_c.note, &EmptyListNote::clearFilterRequested, this, [this] {
            eFilter->clear();
            eFilter->setFocus(Qt::OtherFocusReason); // the link it was on is gone
        });
    }
    eFilter->installEventFilter(this);
    m_c.barParent->installEventFilter(this);
    placeBar();
    updateShowing();
}

void ServerFinder::focusFilter() {
    eFilter->setFocus(Qt::ShortcutFocusReason);
    eFilter->selectAll();
}

QMenu* ServerFinder::makeFilterMenu() {
    auto* menu = new QMenu(bFilters);
    for (const auto& [text, member] : StandingItems) {
        QAction* action = menu->addAction(text);
        action->setCheckable(true);
        action->setChecked(m_c.settings->filters.*member);
        m_standingActions.append(action);
        connect(action, &QAction::toggled, this, [this, m = member](bool on) {
            ServerFilterOptions options = m_c.settings->filters;
            options.*m = on;
            // The two "Only ..." filters are alternatives: the one chosen last holds.
            const Standing only[] = {&ServerFilterOptions::onlyFavouritesAndMates,
                                     &ServerFilterOptions::onlyFavouritesRecentAndMates};
            if (on && std::find(std::begin(only), std::end(only), m) != std::end(only)) {
                for (const Standing other : only)
                    options.*other = other == m;
                showStanding(options);
            }
            setStanding(options);
        });
    }
    return menu;
}

void ServerFinder::showStanding(const ServerFilterOptions& options) {
    for (qsizetype i = 0; i < m_standingActions.size(); ++i) {
        const QSignalBlocker quiet(m_standingActions.at(i));
        m_standingActions.at(i)->setChecked(options.*StandingItems[i].second);
    }
}

void ServerFinder::setStanding(const ServerFilterOptions& options) {
    m_c.view->proxy().setStanding(options);
    Guarded(*m_c.desktop, [&] { m_c.settings->writeFilters(options); });
}

void ServerFinder::placeBar() {
    const int width = std::max(200, m_c.barParent->width() - BarLeft - BarRightMargin);
    m_bar->setGeometry(BarLeft, BarTop, width, BarHeight);
}

bool ServerFinder::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_c.barParent && event->type() == QEvent::Resize)
        placeBar();
    if (watched == eFilter && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && !eFilter->text().isEmpty()) {
        eFilter->clear();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void ServerFinder::updateShowing() {
    const int shown = m_c.view->rowCount();
    const int all = m_c.view->rows().rowCount();
    lShowing->setText(shown < all ? QStringLiteral("Showing %1 of %2").arg(shown).arg(all)
                                  : QString());
}

void ServerFinder::rowsRefilled() {
    tellFavouritesOnline();
}

void ServerFinder::showMates(const Sightings& sightings) {
    // The roster gives the names the lines show; the sightings say where each entry races.
    ServerListModel::RowMates mates;
    mates.hosts = sightings.hostsWithMates();
    const QList<MateEntry>& roster = m_c.stats->mates();
    for (const SeenEntry& seen : sightings.seenEntries()) {
        if (!seen.sighting.marksHost || seen.entry >= roster.size())
            continue;
        const MateEntry& entry = roster.at(seen.entry);
        mates.racers[ServerListModel::RacerLine(seen.sighting.hostIndex, seen.sighting.slot)].add(
            entry.record.displayName(), entry.group);
    }
    if (!m_c.view->rows().setMates(std::move(mates)))
        return;
    m_c.view->proxy().standingInputsChanged();
    updateShowing();
}

void ServerFinder::tellFavouritesOnline() {
    const ServerListModel& rows = m_c.view->rows();
    QList<QPair<QByteArray, QString>> online;
    for (int row = 0; row < rows.rowCount() && !rows.favourites().isEmpty(); ++row) {
        if (rows.isFavourite(row))
            online.append({rows.host(row).name, rows.text(row, ServerListModel::PlayersColumn)});
    }
    Q_EMIT favouritesOnline(online);
}

void ServerFinder::setRecentHosts(QSet<QByteArray> hosts) {
    m_c.view->rows().setRecent(std::move(hosts));
    m_c.view->proxy().standingInputsChanged();
    updateShowing();
}

void ServerFinder::setFavourite(const QByteArray& host, bool favourite) {
    if (!m_favourites.set(host, favourite)) {
        m_c.desktop->beep(); // the list is full: nothing changed, nothing to write
        return;
    }
    m_c.view->rows().setFavourites(m_favourites.hosts());
    m_c.view->proxy().standingInputsChanged();
    updateShowing();
    tellFavouritesOnline();
    if (!m_favourites.save())
        throw PelmarkError(ErrorText::CannotWrite(m_favourites.path()), PelmarkError::Kind::File);
}

std::unique_ptr<QMenu> ServerFinder::rowMenu(int row) {
    auto menu = std::make_unique<QMenu>(m_c.view);
    const ServerListModel& rows = m_c.view->rows();
    const int modelRow = m_c.view->modelRow(row);
    const QByteArray host = rows.host(modelRow).name;
    // The join commands act on the selected row, as the buttons below the list do.
    if (m_commands)
        menu->addActions({m_commands->join, m_commands->joinWithPassword});
    addMenuParts(*menu, MenuPlace::AfterJoin, rows.host(modelRow));
    if (m_commands)
        menu->addAction(m_commands->joinHostByName);
    QAction* favourite = menu->addAction(QStringLiteral("Favourite host"));
    favourite->setCheckable(true);
    favourite->setChecked(m_favourites.contains(host));
    // A name of colour codes only is empty once cleaned: nothing to keep and find again.
    favourite->setEnabled(!host.isEmpty());
    connect(favourite, &QAction::toggled, this,
            [this, host](bool on) { Guarded(*m_c.desktop, [&] { setFavourite(host, on); }); });
    connect(menu->addAction(QStringLiteral("Copy host name")), &QAction::triggered, this,
            [host] { QGuiApplication::clipboard()->setText(ToDisplay(host)); });
    QMenu* add = menu->addMenu(QStringLiteral("Add racer as mate"));
    const QList<QByteArray> racers = rows.racers(modelRow);
    for (qsizetype i = 0; i < racers.size() && i < MaxMenuRacers; ++i) {
        const QByteArray racer = racers.at(i);
        if (racer.isEmpty())
            continue;
        // Escaped so that an ampersand in a name is shown, not taken as a shortcut.
        QMenu* groups =
            add->addMenu(MenuText(ToDisplay(racer) + alreadyIn(rows.mateGroups(modelRow, i))));
        for (const QString& group : m_c.stats->groups()) {
            connect(groups->addAction(MenuText(group)), &QAction::triggered, this,
                    [this, group, racer] { addRacerAsMate(group, racer); });
        }
        if (m_c.stats->groups().isEmpty())
            groups->addAction(QStringLiteral("No group yet"))->setEnabled(false);
    }
    add->setEnabled(!racers.isEmpty());
    addMenuParts(*menu, MenuPlace::End, rows.host(modelRow));
    return menu;
}

void ServerFinder::addMenuParts(QMenu& menu, MenuPlace place, const HostRecord& host) const {
    for (const auto& [at, part] : m_menuParts) {
        if (at == place)
            part(menu, host);
    }
}

std::unique_ptr<QMenu> ServerFinder::listMenu() {
    auto menu = std::make_unique<QMenu>(m_c.view);
    if (m_commands)
        menu->addAction(m_commands->joinHostByName);
    return menu;
}

// As the Add/Edit Mate dialog's Add: the racer's name as LFS name, nothing else; a
// duplicate is answered as the dialog answers it.
void ServerFinder::addRacerAsMate(const QString& group, const QByteArray& racer) {
    Guarded(*m_c.desktop, [&] {
        if (!m_c.stats->groups().contains(group))
            return; // gone while the menu was open
        m_c.commands->AddMate(group, MateRecord::make(racer, {}, {}, {}));
    });
}
