// orvoconnect-cli watch telling others what it did: the desktop, through the notification service
// this test owns on the private session bus it runs on (dbus-run-session), and systemd, through a
// notification socket this test binds. The recorder is the sim: link, which watch polls.

#include "CliProcess.h"
#include "support/TestFiles.h"

#include <QDBusConnection>
#include <QDir>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstddef>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using TestFiles::Pattern;

namespace {

// Stands in for the desktop's notification service: keeps what it is asked to show.
class NotificationService final : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Shown
    {
        QString strSummary;
        QString strBody;
    };
    QList<Shown> m_shown;

public slots:
    uint Notify(const QString &, uint, const QString &, const QString &strSummary, const QString &strBody,
                const QStringList &, const QVariantMap &, int)
    {
        m_shown.append({strSummary, strBody});
        return uint(m_shown.size());
    }
};

// A watch run with its log read as it comes.
class Watch final
{
public:
    Watch(const QString &strCard, const QString &strHome, const QStringList &extra,
          const QStringList &env = {})
    {
        QDir().mkpath(strHome);
        CliProcess::Start(
            m_process, QStringList{"--link", "sim:" + strCard, "watch", "--to", strHome + "/archive"} + extra,
            QStringList{"ORVOCONNECT_WATCH_POLL_MS=200", "HOME=" + strHome} + env);
    }
    ~Watch()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }

    // How often the log holds strText so far.
    int Count(const QString &strText)
    {
        m_strLog += QString::fromUtf8(m_process.readAllStandardError());
        return int(m_strLog.count(strText));
    }
    QString Log() const { return m_strLog; }
    // Ends it as systemd does; its exit status, -1 when it did not end in time.
    int Stop()
    {
        ::kill(pid_t(m_process.processId()), SIGTERM);
        if (!m_process.waitForFinished(10000))
            return -1;
        Count(QString());
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    }

private:
    QProcess m_process;
    QString m_strLog;
};

// A datagram socket in the abstract namespace, where sd_notify sends.
class NotifySocket final
{
public:
    NotifySocket()
    {
        m_strName = QStringLiteral("@orvo-tst-watch-notify-%1").arg(::getpid());
        m_nFd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray name = m_strName.mid(1).toUtf8();
        memcpy(address.sun_path + 1, name.constData(), size_t(name.size()));
        m_bBound = ::bind(m_nFd, reinterpret_cast<sockaddr *>(&address),
                          socklen_t(offsetof(sockaddr_un, sun_path) + 1 + name.size())) == 0;
    }
    ~NotifySocket() { ::close(m_nFd); }

    bool IsBound() const { return m_bBound; }
    QString Name() const { return m_strName; }
    // Every message so far, in order.
    const QStringList &Messages()
    {
        char buffer[4096];
        for (;;) {
            const ssize_t nRead = ::recv(m_nFd, buffer, sizeof buffer, 0);
            if (nRead < 0)
                break;
            m_messages.append(QString::fromUtf8(buffer, nRead));
        }
        return m_messages;
    }
    qsizetype IndexOf(const QRegularExpression &pattern) { return Messages().indexOf(pattern); }

private:
    QString m_strName;
    int m_nFd = -1;
    bool m_bBound = false;
    QStringList m_messages;
};

} // namespace

class tst_WatchNotify final : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    NotificationService m_service;

    QString Path(const QString &strName) const { return m_dir.path() + QLatin1Char('/') + strName; }
    static bool MakeCard(const QString &strCard, const QStringList &names)
    {
        if (!QDir().mkpath(strCard))
            return false;
        int nSeed = 0;
        for (const QString &strName : names) {
            if (!TestFiles::Write(strCard + QLatin1Char('/') + strName, Pattern(3000, ++nSeed)))
                return false;
        }
        return true;
    }
    static QString SimName(const QString &strCard)
    {
        return QStringLiteral("recorder on \"sim:%1\"").arg(strCard);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QDBusConnection bus = QDBusConnection::sessionBus();
        QVERIFY2(bus.isConnected(), "no session bus: run under dbus-run-session");
        QVERIFY(bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &m_service,
                                   QDBusConnection::ExportAllSlots));
        QVERIFY(bus.registerService(QStringLiteral("org.freedesktop.Notifications")));
    }

    void init() { m_service.m_shown.clear(); }

    // One notification for a pass that archived files, none for a pass with nothing new.
    void notifiesWhatAPassArchived()
    {
        const QString strCard = Path("card");
        QVERIFY(MakeCard(strCard, {"A.DAT", "B.DAT"}));
        Watch watch(strCard, Path("home"), {});
        QTRY_COMPARE_WITH_TIMEOUT(m_service.m_shown.size(), 1, 10000);
        QCOMPARE(m_service.m_shown.at(0).strSummary, QStringLiteral("Recorder files archived"));
        QCOMPARE(m_service.m_shown.at(0).strBody,
                 QStringLiteral("Archived 2 new files from %1 into ~/archive.").arg(SimName(strCard)));

        // Taken away and brought back unchanged: a pass with nothing new. Then once more with a
        // new file: the next notification is about that one.
        QVERIFY(QDir().rename(strCard, strCard + ".away"));
        QTRY_COMPARE_WITH_TIMEOUT(watch.Count("removed: "), 1, 10000);
        QVERIFY(QDir().rename(strCard + ".away", strCard));
        QTRY_COMPARE_WITH_TIMEOUT(watch.Count("nothing new to archive"), 1, 10000);
        QVERIFY(QDir().rename(strCard, strCard + ".away"));
        QTRY_COMPARE_WITH_TIMEOUT(watch.Count("removed: "), 2, 10000);
        QVERIFY(TestFiles::Write(strCard + ".away/C.DAT", Pattern(100, 9)));
        QVERIFY(QDir().rename(strCard + ".away", strCard));
        QTRY_COMPARE_WITH_TIMEOUT(m_service.m_shown.size(), 2, 10000);
        QCOMPARE(m_service.m_shown.at(1).strBody,
                 QStringLiteral("Archived 1 new file from %1 into ~/archive.").arg(SimName(strCard)));
        QCOMPARE(watch.Stop(), 0);
        QCOMPARE(m_service.m_shown.size(), 2);
    }

    void noNotificationWithNoNotify()
    {
        const QString strCard = Path("quiet-card");
        QVERIFY(MakeCard(strCard, {"A.DAT"}));
        Watch watch(strCard, Path("quiet-home"), {"--no-notify"});
        QTRY_COMPARE_WITH_TIMEOUT(watch.Count("1 downloaded"), 1, 10000);
        QCOMPARE(watch.Stop(), 0);
        // A notification would have been sent before the watch went on; let it be delivered.
        QTest::qWait(300);
        QVERIFY(m_service.m_shown.isEmpty());
    }

    // Without a session bus the watch archives as always and says nothing about it.
    void noSessionBus()
    {
        const QString strCard = Path("lone-card");
        QVERIFY(MakeCard(strCard, {"A.DAT"}));
        const QString strHome = Path("lone-home");
        Watch watch(strCard, strHome, {}, {"DBUS_SESSION_BUS_ADDRESS=unix:path=" + Path("no-bus")});
        QTRY_COMPARE_WITH_TIMEOUT(watch.Count("1 downloaded"), 1, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(strHome + "/archive/A.DAT"), 10000);
        QElapsedTimer stopping;
        stopping.start();
        QCOMPARE(watch.Stop(), 0);
        QVERIFY(stopping.elapsed() < 5000);
        QVERIFY2(!watch.Log().contains(QStringLiteral("dbus"), Qt::CaseInsensitive) &&
                     !watch.Log().contains(QStringLiteral("d-bus"), Qt::CaseInsensitive),
                 qPrintable(watch.Log()));
        QVERIFY(m_service.m_shown.isEmpty());
    }

    // READY=1 before the first pass, then the last event as the status, and STOPPING=1.
    void tellsSystemdItsStatus()
    {
        NotifySocket socket;
        QVERIFY(socket.IsBound());
        const QString strCard = Path("service-card");
        QVERIFY(MakeCard(strCard, {"A.DAT"}));
        Watch watch(strCard, Path("service-home"), {"--no-notify"}, {"NOTIFY_SOCKET=" + socket.Name()});
        const QRegularExpression archived(
            QStringLiteral("^STATUS=archived 1 file from %1 at \\d\\d:\\d\\d; waiting$")
                .arg(QRegularExpression::escape(SimName(strCard))));
        QTRY_VERIFY_WITH_TIMEOUT(socket.IndexOf(archived) >= 0, 10000);
        QCOMPARE(socket.Messages().value(0), QStringLiteral("READY=1\nSTATUS=waiting for the recorder"));
        QCOMPARE(socket.Messages().value(1), QStringLiteral("STATUS=archiving the %1").arg(SimName(strCard)));
        QCOMPARE(watch.Stop(), 0);
        QCOMPARE(socket.Messages().constLast(), QStringLiteral("STOPPING=1\nSTATUS=stopping"));
    }
};

QTEST_GUILESS_MAIN(tst_WatchNotify)
#include "tst_WatchNotify.moc"
