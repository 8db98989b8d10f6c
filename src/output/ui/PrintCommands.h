#pragma once
// The print button's work on the loaded object: the paper preset, the range
// dialog when asked, then one job on the shared printer.
#include "core/AppState.h"

class QWidget;

namespace morvane::output {

// Every page prints without a dialog when askRange is false (the print-all run).
// Cancel prints nothing and says nothing; a failed job shows "印刷エラー。"
// with the reason under it.
void printLoadedObject(const Session& session, bool askRange, QWidget* dialogParent);

QString printErrorText(const QString& reason);

} // namespace morvane::output
