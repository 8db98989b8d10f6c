#pragma once
// morvane-doc's run inside the test process, logged on as SYS to the demo or
// to a dictionary of the data folder, with what it printed on its error stream.
#include "output/DocRender.h"
#include "output/DocRenderCli.h"
#include <QStringList>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>

namespace morvane::test {

struct DocRun {
    int status;
    QString err;
    QString out; // the output folder
};

// A fresh output folder unless args name one with --out.
inline DocRun runDoc(QStringList args, const QString& server = QStringLiteral("DEMO"),
                     const QString& password = QStringLiteral("DEMO"))
{
    static QTemporaryDir root;
    static int serial = 0;
    if (!args.contains(QStringLiteral("--out")))
        args << QStringLiteral("--out") << root.filePath(QStringLiteral("out%1").arg(++serial));
    output::DocOptions o;
    QString error;
    EXPECT_TRUE(
        output::parseDocArguments(QStringList{"--server", server, "--user", "SYS"} + args, &o, &error))
        << error.toStdString();
    QString err;
    QTextStream stream(&err);
    const int status = output::runDocRenderer(o, password, stream, output::pdfPageLayout());
    stream.flush();
    return {status, err, o.outDir};
}

} // namespace morvane::test
