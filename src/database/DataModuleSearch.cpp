#include "database/DataModule.h"
#include "core/Cp932.h"
#include "core/Platform.h"

namespace morvane {

bool TDataModule2::SearchForward(const QString& field, const QString& text)
{
    return search(field, text, true);
}

bool TDataModule2::SearchBackward(const QString& field, const QString& text)
{
    return search(field, text, false);
}

bool TDataModule2::search(const QString& field, const QString& text, bool forward)
{
    Query* q = currentQuery();
    if (!q)
        throw DbError(QStringLiteral("Tag %1: クエリがありません").arg(Tag));
    ViewsPaused off(*q);
    forward ? q->next() : q->prior();
    const int column = q->fieldIndex(field);
    // The comparison is on the local code page's bytes: a value is cut to as
    // many bytes as the search text has, never splitting a double-byte character.
    const int n = cp932::byteLength(text);
    for (;;) {
        if (forward ? q->eof() : q->bof()) {
            off.release();
            platform::error(QStringLiteral("該当するデータがありません。"));
            return false;
        }
        if (column < 0)
            q->text(field); // reports the unknown field as the query does
        const QString value = cp932::leftBytes(q->valueAt(q->currentRow(), column), n);
        if (value.compare(text, Qt::CaseInsensitive) == 0) {
            off.release();
            return true;
        }
        forward ? q->next() : q->prior();
    }
}

} // namespace morvane
