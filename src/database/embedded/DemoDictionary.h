#pragma once
// Embedded dictionary files: the demo "DEMO" built from SQL kept in the
// program's resources, and account management for such files.
#include <QString>

namespace morvane {

// Creates the demo dictionary at path from the bundled SQL; throws DbError.
void createDemoDictionary(const QString& path);
// Stores an account (salted hash) in an embedded dictionary; throws DbError.
void setEmbeddedAccount(const QString& path, const QString& user, const QString& password);

} // namespace morvane
