// morvane-gendict: writes a large embedded dictionary for load tests.
#include "database/embedded/DictionaryGenerator.h"
#include "database/DbDriver.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <cstdio>

using morvane::embedded::GeneratorOptions;

namespace {

int usage(const char* why, int code = 2)
{
    if (why)
        std::fprintf(stderr, "morvane-gendict: %s\n", why);
    std::fprintf(
        stderr,
        "usage: morvane-gendict --out PATH [--owners N] [--objects N] [--columns N]\n"
        "                       [--indexes N] [--big] [--big-objects N] [--big-columns N]\n"
        "                       [--big-indexes N] [--odd] [--overflow] [--password TEXT] [--force]\n"
        "  --owners N       owners OWNER01.. (default 3)\n"
        "  --objects N      catalog entries per owner (default 200)\n"
        "  --columns N      columns per table (default 12)\n"
        "  --indexes N      indexes per table (default 3)\n"
        "  --big            add owner BIG with table BIG_T300\n"
        "  --big-objects N  catalog entries of BIG (default 20000)\n"
        "  --big-columns N  columns of BIG_T300 (default 300)\n"
        "  --big-indexes N  indexes of BIG_T300 (default 20)\n"
        "  --odd            add owner ODD: long, wide, colliding and chained names\n"
        "  --overflow       add owner OVER: 500 columns, 45 indexes, 1,000-line and 40,000-character views\n"
        "  --password TEXT  password of SYS (default DEMO)\n"
        "  --force          replace an existing file\n");
    return code;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    GeneratorOptions o;
    QString out;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const auto value = [&](QString& v) {
            if (i + 1 >= args.size())
                return false;
            v = args[++i];
            return true;
        };
        const auto number = [&](int& n) {
            QString v;
            bool ok = false;
            if (value(v))
                n = v.toInt(&ok);
            return ok && n >= 0;
        };
        bool ok = true;
        if (a == "--out")
            ok = value(out);
        else if (a == "--owners")
            ok = number(o.owners);
        else if (a == "--objects")
            ok = number(o.objectsPerOwner);
        else if (a == "--columns")
            ok = number(o.columnsPerTable);
        else if (a == "--indexes")
            ok = number(o.indexesPerTable);
        else if (a == "--big")
            o.bigOwner = true;
        else if (a == "--big-objects")
            ok = number(o.bigObjects);
        else if (a == "--big-columns")
            ok = number(o.bigColumns);
        else if (a == "--big-indexes")
            ok = number(o.bigIndexes);
        else if (a == "--odd")
            o.oddOwner = true;
        else if (a == "--overflow")
            o.overflowOwner = true;
        else if (a == "--password")
            ok = value(o.password);
        else if (a == "--force")
            o.overwrite = true;
        else if (a == "--help" || a == "-h")
            return usage(nullptr, 0);
        else
            return usage(qPrintable("unknown option " + a));
        if (!ok)
            return usage(qPrintable("missing or bad value for " + a));
    }
    if (out.isEmpty())
        return usage("--out PATH is required");
    QElapsedTimer timer;
    timer.start();
    try {
        const auto r = morvane::embedded::generateDictionary(out, o);
        std::printf("%s: %lld catalog entries (%lld tables, %lld views, %lld synonyms, %lld sequences), "
                    "%lld columns, %lld indexes in %.1f s\n",
                    qPrintable(out), r.catalogRows(), r.tables, r.views, r.synonyms, r.sequences, r.columns,
                    r.indexes, timer.elapsed() / 1000.0);
    } catch (const morvane::DbError& e) {
        std::fprintf(stderr, "morvane-gendict: %s\n", qPrintable(e.message()));
        return 1;
    }
    return 0;
}
