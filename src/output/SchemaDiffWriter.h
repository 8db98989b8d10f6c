#pragma once
// The comparison of two schemas as plain text (for a code review), as CSV
// (the program's CSV rules) and as A4 pages in the document's face.
#include "database/SchemaDiff.h"
#include <QByteArray>
#include <QString>
#include <optional>

namespace morvane::output {

// One side of a comparison: the server logged on to and, for a snapshot,
// where and when it was taken.
struct DiffSide {
    QString server;
    QString user;
    QString readAt; // when this run read it (UTC)
    std::optional<SnapshotInfo> snapshot;
};

// "SNAP1 (snapshot of PROD as SCOTT, taken 2026-12-08 11:30:00 UTC)" or "PROD as SCOTT, read ...".
QString describeSide(const DiffSide& side);

// The changes as lines: each object's name and type, then its changes indented;
// view texts as unified diffs. Control characters are written as escapes.
QStringList diffBodyLines(const QVector<SchemaChange>& changes, const QString& owner);
// Empty when nothing changed; otherwise "--- from", "+++ to" and the body.
QString diffText(const QVector<SchemaChange>& changes, const QString& owner, const DiffSide& from,
                 const DiffSide& to);
// One line a change, every item quoted, CR LF; CP932 unless a text does not fit.
QByteArray diffCsv(const QVector<SchemaChange>& changes);
// A4 portrait pages; each names both sides. False with the reason in *error.
bool writeDiffPdf(const QVector<SchemaChange>& changes, const QString& owner, const DiffSide& from,
                  const DiffSide& to, const QString& path, QString* error);

} // namespace morvane::output
