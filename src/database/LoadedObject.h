#pragma once
// One object of the dictionary as a value: the key a load is asked for, and
// what the load read for it. Runs over many objects hand these from the load
// to the pages instead of going through the settings record.
#include "core/AppState.h"
#include <QString>
#include <array>

namespace morvane {

struct ObjectKey {
    QString owner;
    QString name;
    QString type; // catalog type: "TABLE", "VIEW", "SYNONYM", ...
};

struct LoadedObject {
    ObjectKey chosen; // as asked for
    // What every statement was bound to: a synonym's target.
    QString owner;
    QString name;
    bool isSynonym = false;
    QString synonymOwner;
    QString synonymName;
    QString synonymTargetType;
    // Slots 2..6; a section the load skipped keeps an earlier object's count,
    // as its query keeps that object's rows.
    std::array<int, 9> rowCounts{};
    int columnPageCount = 0;

    // The windows' shared record and this value hold the same fields; these
    // two are the only places that copy them across.
    static LoadedObject fromShared(const SharedState& st, const QString& owner)
    {
        LoadedObject o;
        o.chosen.type = st.TableType;
        o.owner = owner;
        o.name = st.TableName;
        o.isSynonym = st.IsSynonym;
        o.synonymOwner = st.SynonymOwner;
        o.synonymName = st.SynonymName;
        o.synonymTargetType = st.SynonymTargetType;
        o.rowCounts = st.RowCounts;
        o.columnPageCount = st.ColumnPageCount;
        return o;
    }
    void shareInto(SharedState& st) const
    {
        st.TableName = name;
        st.IsSynonym = isSynonym;
        st.SynonymName = synonymName;
        st.SynonymOwner = synonymOwner;
        st.SynonymTargetType = synonymTargetType;
        st.RowCounts = rowCounts;
        st.ColumnPageCount = columnPageCount;
    }
};

} // namespace morvane
