#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <cerrno>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

// A small file system of its own at a folder, to make it read-only or full on demand.
// Mounting needs the right to mount; suites skip what needs it when it is missing.
class Tmpfs {
public:
    // extra: further mount options, such as "nr_inodes=64".
    Tmpfs(const QString& path, const QByteArray& size, const QByteArray& extra = {})
        : m_path(QFile::encodeName(path)) {
        const QByteArray options =
            "size=" + size + ",mode=0755" + (extra.isEmpty() ? "" : "," + extra);
        m_mounted = ::mount("tmpfs", m_path.constData(), "tmpfs", 0, options.constData()) == 0;
    }
    ~Tmpfs() {
        if (m_mounted)
            ::umount2(m_path.constData(), MNT_DETACH);
    }
    Tmpfs(const Tmpfs&) = delete;
    Tmpfs& operator=(const Tmpfs&) = delete;

    bool mounted() const { return m_mounted; }
    bool makeReadOnly() {
        return ::mount("tmpfs", m_path.constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }
    // Takes every free page, so that any write needing a new one fails.
    bool fill() {
        const QByteArray filler = m_path + "/filler";
        const int fd = ::open(filler.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0)
            return false;
        const QByteArray page(4096, 'x');
        while (::write(fd, page.constData(), size_t(page.size())) > 0) {
        }
        const bool full = errno == ENOSPC;
        ::close(fd);
        return full;
    }

    // Takes every free inode, so that no new file or folder can be made.
    bool fillInodes() {
        for (int i = 0; i < 1000000; ++i) {
            const QByteArray name = m_path + "/inode-" + QByteArray::number(i);
            const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
            if (fd < 0)
                return errno == ENOSPC;
            ::close(fd);
        }
        return false;
    }

private:
    QByteArray m_path;
    bool m_mounted = false;
};
