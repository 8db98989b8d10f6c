#pragma once
// The two schema tools beside morvane-doc: morvane-snapshot copies owners'
// dictionaries from a server into an embedded dictionary file; morvane-diff
// lists what changed between two servers or snapshots.
#include "output/ToolPassword.h"
#include <QString>
#include <QStringList>

class QIODevice;
class QTextStream;

namespace morvane::output {

struct SnapshotOptions {
    QString server;
    QString user;
    QStringList owners;
    QString out;
    bool help = false;
};

enum class DiffFormat { Text, Csv, Pdf };

struct DiffOptions {
    QString from;
    QString to;
    QString owner;
    QString user;
    QString toUser; // empty: B is logged on to as user, with the same password
    DiffFormat format = DiffFormat::Text;
    QString out; // empty: standard output (text, csv)
    bool storage = false;
    bool help = false;
};

// morvane-diff's statuses, as diff(1) has them.
constexpr int kDiffSame = 0;
constexpr int kDiffDiffers = 1;
constexpr int kDiffError = 2;

bool parseSnapshotArguments(const QStringList& args, SnapshotOptions* options, QString* error);
QString snapshotUsage();
// 0 when the file was written, 1 on a failure (the target then left as it was).
int runSnapshot(const SnapshotOptions& options, const QString& password, QTextStream& err);

bool parseDiffArguments(const QStringList& args, DiffOptions* options, QString* error);
QString diffUsage();
// Text and CSV go to out unless --out names a file; messages go to err.
int runDiff(const DiffOptions& options, const QString& password, const QString& toPassword, QIODevice& out,
            QTextStream& err);

} // namespace morvane::output
