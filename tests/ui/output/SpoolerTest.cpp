// End to end through a real print spooler: CUPS with a PDF queue as the
// system default, started (and installed when missing) by the test itself.
#include "PrintSupport.h"
#include "output/PrintJob.h"
#include <QElapsedTimer>
#include <QPushButton>
#include <QThread>
#include <unistd.h>

using namespace morvane;
using namespace morvane::test;

namespace {

QString sh(const QString& command, int* exitCode = nullptr, int timeoutMs = 30000)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start("/bin/sh", {"-c", command});
    const bool done = p.waitForFinished(timeoutMs);
    if (exitCode)
        *exitCode = done && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromUtf8(p.readAll());
}

bool waitFor(const std::function<bool()>& condition, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (!condition()) {
        if (t.elapsed() > timeoutMs)
            return false;
        QThread::msleep(50);
    }
    return true;
}

bool schedulerRunning()
{
    // lpstat -r exits 0 either way: read its words.
    return sh("lpstat -r 2>&1").contains("scheduler is running");
}

// A PDF queue "MorvaneTest" as the server's default, writing to outDir.
class PdfSpooler {
public:
    static constexpr const char* Queue = "MorvaneTest";

    bool start(const QString& outDir, QString* why)
    {
        if (::geteuid() != 0)
            return fail(why, "installing and starting CUPS needs root");
        if (!QFile::exists("/usr/sbin/cupsd") || !QFile::exists("/usr/lib/cups/backend/cups-pdf")
            || sh("command -v lpadmin").isEmpty()) {
            const QString install =
                "DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "
                "--no-install-recommends cups cups-client cups-bsd printer-driver-cups-pdf";
            int rc = 0;
            sh(install, &rc, 600000);
            if (rc != 0)
                sh("apt-get update -qq && " + install, &rc, 900000);
            if (!QFile::exists("/usr/sbin/cupsd") || !QFile::exists("/usr/lib/cups/backend/cups-pdf"))
                return fail(why, "CUPS and cups-pdf could not be installed");
        }
        if (!schedulerRunning()) {
            int rc = 0;
            const QString out = sh("/usr/sbin/cupsd", &rc);
            if (!waitFor(schedulerRunning, 10000))
                return fail(why, "cupsd did not start: " + out);
            m_startedScheduler = true;
        }
        const QString def = sh("lpstat -d 2>&1");
        if (def.contains("system default destination:"))
            m_previousDefault = def.section(':', 1).trimmed();
        QFile conf(confPath());
        if (!conf.open(QIODevice::WriteOnly))
            return fail(why, "cannot write " + confPath());
        conf.write(("Out " + outDir + "\nTitlePref 1\nDecodeHexStrings 1\n").toUtf8());
        conf.close();
        int rc = 0;
        const QString out = sh(QString("lpadmin -p %1 -E -v cups-pdf:/morvanetest "
                                       "-m lsb/usr/cups-pdf/CUPS-PDF_noopt.ppd "
                                       "-o pdftops-renderer-default=pdftocairo && lpadmin -d %1")
                                   .arg(Queue),
                               &rc);
        if (rc != 0)
            return fail(why, "lpadmin failed: " + out);
        m_queueAdded = true;
        return true;
    }

    ~PdfSpooler()
    {
        if (m_queueAdded) {
            sh(QString("lpadmin -x %1").arg(Queue));
            if (!m_previousDefault.isEmpty())
                sh("lpadmin -d '" + m_previousDefault + "'");
        }
        QFile::remove(confPath());
        if (m_startedScheduler) {
            sh("kill -TERM $(cat /run/cups/cupsd.pid)");
            // A zombie may linger a moment; state Z counts as gone.
            waitFor([] { return sh("ps -C cupsd -o stat= | grep -v Z").trimmed().isEmpty(); }, 5000);
        }
    }

    static bool queueEmpty() { return sh(QString("lpstat -o %1 2>&1").arg(Queue)).trimmed().isEmpty(); }

private:
    static QString confPath() { return "/etc/cups/cups-pdf-morvanetest.conf"; }
    static bool fail(QString* why, const QString& reason)
    {
        *why = reason;
        return false;
    }
    bool m_startedScheduler = false;
    bool m_queueAdded = false;
    QString m_previousDefault;
};

using SpoolerPrint = PrintingFixture;

} // namespace

TEST_F(SpoolerPrint, SpoolerPrintsAllPagesThroughTheDefaultQueue)
{
    QTemporaryDir spoolOut;
    PdfSpooler spooler;
    QString why;
    if (!spooler.start(spoolOut.path(), &why))
        GTEST_SKIP() << "print spooler unavailable: " << why.toStdString();
    output::Printer().setDiscovery(nullptr); // the system's own default printer

    ASSERT_TRUE(load("SCOTT", "EMP", "TABLE", 3));
    session.state.TableComment = "(社員マスタ)";
    dialogs.handlers = {answerRange(output::RangeAllPages)};
    main.BitBtn3Click(main.BitBtn3);
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.texts().join(" | ").toStdString();
    EXPECT_TRUE(output::Printer().hasPrinter());
    EXPECT_EQ(output::Printer().printerName(), PdfSpooler::Queue);
    EXPECT_TRUE(pdfs().isEmpty()) << "a printer is there: no fallback file";

    // The file shows up with 0 bytes first; the job leaving the queue means it is whole.
    ASSERT_TRUE(waitFor(PdfSpooler::queueEmpty, 60000)) << sh("lpstat -o").toStdString();
    QStringList files;
    ASSERT_TRUE(waitFor(
        [&] {
            files = QDir(spoolOut.path()).entryList({"*.pdf"}, QDir::Files);
            return files.size() == 1 && QFileInfo(spoolOut.filePath(files[0])).size() > 0;
        },
        10000))
        << sh("tail -20 /var/log/cups/error_log").toStdString();
    const QString file = spoolOut.filePath(files[0]);
    EXPECT_TRUE(files[0].contains("EMP")) << files[0].toStdString();
    ASSERT_EQ(pdfPages(file), 4);
    EXPECT_TRUE(pdfPageSize(file).contains("595")) << pdfPageSize(file).toStdString();
    EXPECT_TRUE(pdfPageSize(file).contains("842")) << pdfPageSize(file).toStdString();
    EXPECT_TRUE(pdfText(file, 1).contains("データベース定義ファイル１"));
    for (int p = 2; p <= 4; ++p)
        EXPECT_TRUE(pdfText(file, p).contains("データベース定義ファイル" + QString::number(p))) << p;
    EXPECT_TRUE(pdfText(file, 1).contains("社員マスタ"));
}
