#pragma once
// The print button's work on the loaded object: the paper preset, the range
// dialog when asked, then one job on the shared printer.
#include "core/AppState.h"

#include <functional>

class QWidget;

namespace morvane {
class TDataModule2;
}

namespace morvane::output {

// Every page prints without a dialog when askRange is false (the print-all run).
// Cancel prints nothing and says nothing; a failed job shows "印刷エラー。"
// with the reason under it.
void printLoadedObject(const Session& session, bool askRange, QWidget* dialogParent);

QString printErrorText(const QString& reason);

// Every object of the owner as one job: contents pages first, then each
// object's pages, in the table list's order. showing is told each object
// before its load. A failed load warns and lists the object as not printed.
void printOwnerAsOneJob(TDataModule2& dm, const QString& owner,
                        const std::function<void(const QString& name, const QString& comment)>& showing);

} // namespace morvane::output
