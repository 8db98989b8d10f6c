#include "database/ObjectRun.h"
#include "database/DataModule.h"
#include <memory>

namespace morvane {

namespace {
CatalogRow rowAt(const Query& q)
{
    return {q.text(QStringLiteral("TABLE_NAME")), q.text(QStringLiteral("TABLE_TYPE")),
            q.text(QStringLiteral("COMMENTS"))};
}
} // namespace

RowSource queryRows(Query& catalog)
{
    auto started = std::make_shared<bool>(false);
    return [&catalog, started](CatalogRow& row) {
        if (!*started) {
            catalog.first();
            *started = true;
        } else {
            catalog.next();
        }
        if (catalog.eof())
            return false;
        row = rowAt(catalog);
        return true;
    };
}

RowSource bookmarkRows(Query& catalog, QVector<Bookmark> marks)
{
    auto at = std::make_shared<int>(0);
    return [&catalog, marks = std::move(marks), at](CatalogRow& row) {
        if (*at >= marks.size())
            return false;
        catalog.gotoBookmark(marks.at((*at)++));
        row = rowAt(catalog);
        return true;
    };
}

RowSource listRows(QVector<CatalogRow> rows)
{
    auto at = std::make_shared<int>(0);
    return [rows = std::move(rows), at](CatalogRow& row) {
        if (*at >= rows.size())
            return false;
        row = rows.at((*at)++);
        return true;
    };
}

ObjectRunResult runPerObject(TDataModule2& dm, const QString& owner, const RowSource& rows,
                             const ObjectRunSteps& steps)
{
    SharedState& st = dm.session().state;
    ObjectRunResult result;
    CatalogRow row;
    while (rows(row)) {
        ++result.objects;
        // Named before the load, which may move to a synonym's target.
        if (steps.failures)
            steps.failures->beginObject(owner + QLatin1Char('.') + row.name);
        st.TableName = row.name;
        st.TableType = row.type;
        if (steps.setComment)
            st.TableComment = bracketComment(row.comment);
        if (steps.chosen)
            steps.chosen(row);
        bool ok = true;
        if (steps.load) {
            ok = dm.loadObject({owner, row.name, row.type});
            dm.shareLoaded();
            if (!ok && steps.loadFailed)
                steps.loadFailed(row);
        }
        if (ok && steps.act)
            ok = steps.act(row);
        if (!ok)
            ++result.failed;
        if (steps.between)
            steps.between();
    }
    return result;
}

} // namespace morvane
