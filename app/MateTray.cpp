#include "MateTray.h"

#include "OnlineMates.h"
#include "Pictures.h"
#include "PlainText.h"
#include "SingleByteText.h"

#include <QGuiApplication>
#include <QMenu>
#include <QPainter>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>
#include <utility>

namespace {

QPixmap withDot(QPixmap pixmap, int size) {
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal d = size * 0.45;
    const QRectF dot(size - d - 0.5, size - d - 0.5, d, d);
    p.setPen(QPen(Qt::white, qMax(1.0, size / 16.0)));
    p.setBrush(QColor(0x2e, 0xb8, 0x3c));
    p.drawEllipse(dot);
    return pixmap;
}

} // namespace

namespace {

// The offline picture: the usual one, greyed as the style greys a disabled icon.
QIcon offlineIcon(const QIcon& icon) {
    QIcon greyed;
    for (const QSize& size : icon.availableSizes())
        greyed.addPixmap(icon.pixmap(size, QIcon::Disabled));
    return greyed;
}

} // namespace

MateTray::MateTray(QWidget* window, QObject* parent)
    : QObject(parent), m_window(window), m_menu(std::make_unique<QMenu>()) {
    connect(m_menu.get(), &QMenu::aboutToShow, this, &MateTray::buildMenu);
    rebuildMenu();
    m_poll.setInterval(TrayPollMs);
    connect(&m_poll, &QTimer::timeout, this, &MateTray::pollTray);
}

MateTray::~MateTray() = default;

bool MateTray::available() {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void MateTray::show() {
    if (m_showing)
        return;
    m_showing = true;
    // Put up once the window is: asking the desktop for its tray and drawing the pictures
    // in six sizes would only hold the window back.
    QTimer::singleShot(0, this, &MateTray::createIcon);
    // A tray may come after the program, at log-in say, and go again.
    m_poll.start();
}

void MateTray::setAvailabilityProbe(std::function<bool()> probe, int pollMs) {
    m_probe = std::move(probe);
    m_poll.setInterval(pollMs);
}

void MateTray::pollTray() {
    const bool up = trayAvailable();
    if (up && !m_icon) {
        createIcon();
    } else if (!up && m_icon) {
        delete m_icon;
        m_icon = nullptr;
        // Hidden to a tray that is gone, the window would be out of reach.
        if (m_window && m_window->isHidden())
            Q_EMIT showRequested();
    }
}

void MateTray::createIcon() {
    if (m_icon || !trayAvailable())
        return;
    m_icon = new QSystemTrayIcon(this);
    refreshIcon();
    m_icon->setContextMenu(m_menu.get());
    connect(m_icon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
                    Q_EMIT showRequested();
            });
    m_icon->show();
}

bool MateTray::isVisible() const {
    return m_icon && m_icon->isVisible();
}

QIcon MateTray::icon() const {
    if (m_iconsStale) {
        // The program's icon may have been set since the last time.
        m_plainIcon = TrayIcon(m_window, false);
        m_onlineIcon = TrayIcon(m_window, true);
        m_iconsStale = false;
    }
    return m_online ? m_onlineIcon : m_plainIcon;
}

QIcon MateTray::shownIcon() const {
    return m_icon ? m_icon->icon() : QIcon();
}

QString MateTray::toolTip() const {
    // Offline, the counts are those of a list that may be long gone.
    if (isOffline())
        return QStringLiteral("Pelmark II: ") + m_freshness.text();
    // The window's own line, so that both say the same number in the same words.
    const QString mates = OnlineMatesText(m_onlineCount, m_total);
    if (m_freshness.updatedAt().isValid())
        return QStringLiteral("Pelmark II: %1\n%2").arg(m_freshness.text(), mates);
    return QStringLiteral("Pelmark II\n") + mates;
}

void MateTray::setFreshness(const ListFreshness& freshness) {
    m_freshness = freshness;
    rebuildMenu();
    refreshIcon();
}

void MateTray::setCommands(QAction* refresh, QAction* quit) {
    m_refresh = refresh;
    m_quit = quit;
    rebuildMenu();
}

void MateTray::refreshIcon() {
    if (!m_icon)
        return;
    m_icon->setIcon(isOffline() ? offlineIcon(icon()) : icon());
    m_icon->setToolTip(toolTip());
}

void MateTray::setMateCounts(int online, int total) {
    if (online == m_onlineCount && total == m_total)
        return;
    m_onlineCount = online;
    m_total = total;
    rebuildMenu();
    refreshIcon();
}

void MateTray::setJoinHostByName(QAction* command) {
    m_joinByName = command;
    rebuildMenu();
}

void MateTray::update(const QList<OnlineMate>& online) {
    if (m_online != !online.isEmpty()) {
        m_online = !online.isEmpty();
        m_iconsStale = true; // drawn when next shown
    }
    m_mates = online;
    rebuildMenu();
    refreshIcon();
}

void MateTray::setFavourites(const QList<QPair<QByteArray, QString>>& hosts) {
    if (hosts == m_favourites)
        return;
    m_favourites = hosts;
    rebuildMenu();
}

void MateTray::setRecentHosts(const QList<QPair<QByteArray, QString>>& hosts) {
    if (hosts == m_recent)
        return;
    m_recent = hosts;
    rebuildMenu();
}

void MateTray::setSlotWatches(const QList<QByteArray>& watched, const QSet<QByteArray>& full,
                              const QString& noMoreReason) {
    if (watched == m_watched && full == m_full && noMoreReason == m_noMoreWatches)
        return;
    m_watched = watched;
    m_full = full;
    m_noMoreWatches = noMoreReason;
    rebuildMenu();
}

// A full favourite can be watched from here; each watch can be cancelled.
void MateTray::addSlotWatchItems(QMenu* favourites) {
    bool first = true;
    for (qsizetype i = 0; i < m_favourites.size() && i < MaxMenuMates; ++i) {
        const QByteArray host = m_favourites.at(i).first;
        if (!m_full.contains(host) || m_watched.contains(host))
            continue;
        if (std::exchange(first, false))
            favourites->addSeparator();
        QAction* watch = favourites->addAction(
            MenuText(QStringLiteral("Join %1 when a slot frees").arg(ToDisplay(host))));
        watch->setEnabled(m_noMoreWatches.isEmpty());
        watch->setToolTip(m_noMoreWatches);
        connect(watch, &QAction::triggered, this,
                [this, host] { Q_EMIT slotWatchRequested(host); });
    }
    favourites->setToolTipsVisible(true);
    if (!m_watched.isEmpty())
        m_menu->addSeparator();
    for (const QByteArray& host : std::as_const(m_watched)) {
        QAction* cancel = m_menu->addAction(
            MenuText(QStringLiteral("Cancel the slot watch on %1").arg(ToDisplay(host))));
        connect(cancel, &QAction::triggered, this,
                [this, host] { Q_EMIT slotWatchCancelled(host); });
    }
}

void MateTray::rebuildMenu() {
    if (std::exchange(m_menuStale, true))
        return;
    QTimer::singleShot(0, this, &MateTray::buildMenu);
}

void MateTray::buildMenu() {
    if (!std::exchange(m_menuStale, false))
        return;
    const QList<OnlineMate>& online = m_mates;
    m_menu->clear();
    for (qsizetype i = 0; i < online.size() && i < MaxMenuMates; ++i) {
        const OnlineMate& mate = online.at(i);
        const QString text =
            ToDisplay(mate.displayName) + QStringLiteral(" \u2014 ") + ToDisplay(mate.host);
        const QByteArray host = mate.host;
        connect(m_menu->addAction(MenuText(text)), &QAction::triggered, this,
                [this, host] { Q_EMIT joinRequested(host); });
    }
    if (online.size() > MaxMenuMates) {
        m_menu->addAction(QStringLiteral("%1 more online").arg(online.size() - MaxMenuMates))
            ->setEnabled(false);
    }
    if (online.isEmpty())
        m_menu->addAction(QStringLiteral("No mate online"))->setEnabled(false);
    m_menu->addSeparator();
    QMenu* favourites = m_menu->addMenu(QStringLiteral("Favourite hosts"));
    for (qsizetype i = 0; i < m_favourites.size() && i < MaxMenuMates; ++i) {
        const QByteArray host = m_favourites.at(i).first;
        const QString text =
            ToDisplay(host) + QStringLiteral(" \u2014 ") + m_favourites.at(i).second;
        connect(favourites->addAction(MenuText(text)), &QAction::triggered, this,
                [this, host] { Q_EMIT favouriteJoinRequested(host); });
    }
    if (m_favourites.isEmpty())
        favourites->addAction(QStringLiteral("None online"))->setEnabled(false);
    QMenu* recent = m_menu->addMenu(QStringLiteral("Recent hosts"));
    for (const auto& [host, text] : std::as_const(m_recent)) {
        connect(recent->addAction(MenuText(text)), &QAction::triggered, this,
                [this, h = host] { Q_EMIT recentJoinRequested(h); });
    }
    if (m_recent.isEmpty())
        recent->addAction(QStringLiteral("No host joined yet"))->setEnabled(false);
    addSlotWatchItems(favourites);
    if (m_joinByName)
        m_menu->addAction(m_joinByName);
    m_menu->addSeparator();
    const QString fresh = m_freshness.text();
    if (!fresh.isEmpty())
        m_menu->addAction(MenuText(fresh))->setEnabled(false);
    if (!isOffline()) // as the tooltip: the counts of a list that may be long gone are not
        m_menu->addAction(OnlineMatesText(m_onlineCount, m_total))->setEnabled(false);
    // The shared commands belong to the window: the menu's clear leaves them be.
    if (m_refresh)
        m_menu->addAction(m_refresh);
    connect(m_menu->addAction(QStringLiteral("Show Pelmark II")), &QAction::triggered, this,
            &MateTray::showRequested);
    if (m_quit)
        m_menu->addAction(m_quit);
}

QIcon MateTray::TrayIcon(const QWidget* window, bool anyOnline) {
    QIcon base = QGuiApplication::windowIcon();
    if (base.isNull() && window)
        base = window->windowIcon();
    if (base.isNull())
        base = Pictures::AppIcon();
    const qreal ratio = qApp ? qApp->devicePixelRatio() : 1.0;
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64}) {
        const QPixmap picture = base.pixmap(QSize(size, size), ratio);
        if (!picture.isNull())
            icon.addPixmap(anyOnline ? withDot(picture, size) : picture);
    }
    return icon;
}
