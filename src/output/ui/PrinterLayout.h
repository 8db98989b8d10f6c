#pragma once
// The sheet of the default printer as the documents are laid out on it.
#include <QPageLayout>

namespace morvane::output {

// A4 portrait with the printable area of the default printer, or of the
// PDF printer when no printer is installed.
QPageLayout documentPageLayout();

} // namespace morvane::output
