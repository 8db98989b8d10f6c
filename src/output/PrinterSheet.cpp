#include "output/PrinterSheet.h"
#include "output/DocRender.h"
#include <QFile>
#include <QLibrary>
#include <QRegularExpression>

namespace morvane::output {

namespace {

// The few calls of the CUPS library that find the default queue's PPD.
struct CupsOption {
    char* name;
    char* value;
};
struct CupsDest {
    char* name;
    char* instance;
    int isDefault;
    int numOptions;
    CupsOption* options;
};
using CupsGetDests = int (*)(CupsDest**);
using CupsFreeDests = void (*)(int, CupsDest*);
using CupsGetPPD = const char* (*)(const char*);

// The PPD file of the default queue, or empty when there is none (no CUPS
// library, no scheduler, no default queue, or a queue without a PPD).
QByteArray defaultQueuePpd()
{
    QLibrary cups(QStringLiteral("cups"), 2);
    auto getDests = reinterpret_cast<CupsGetDests>(cups.resolve("cupsGetDests"));
    auto freeDests = reinterpret_cast<CupsFreeDests>(cups.resolve("cupsFreeDests"));
    auto getPpd = reinterpret_cast<CupsGetPPD>(cups.resolve("cupsGetPPD"));
    if (!getDests || !freeDests || !getPpd)
        return {};
    CupsDest* dests = nullptr;
    const int count = getDests(&dests);
    QByteArray queue;
    for (int i = 0; i < count; ++i) {
        if (dests[i].isDefault)
            queue = dests[i].name;
    }
    freeDests(count, dests);
    if (queue.isEmpty())
        return {};
    // cupsGetPPD copies the queue's PPD into a temporary file of its own.
    const char* file = getPpd(queue.constData());
    if (!file)
        return {};
    QFile ppd(QFile::decodeName(file));
    QByteArray text;
    if (ppd.open(QIODevice::ReadOnly))
        text = ppd.readAll();
    ppd.remove();
    return text;
}

} // namespace

std::optional<QMarginsF> ppdA4Margins(const QByteArray& ppd)
{
    // *Keyword A4[/translation]: "numbers"
    const auto numbers = [&ppd](const char* keyword) -> QList<double> {
        const QRegularExpression line(
            QStringLiteral(R"re(^\*%1\s+A4(/[^:]*)?:\s*"([^"]*)")re").arg(QLatin1String(keyword)),
            QRegularExpression::MultilineOption);
        const auto m = line.match(QString::fromLatin1(ppd));
        QList<double> values;
        if (!m.hasMatch())
            return values;
        for (const QString& n : m.captured(2).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            bool ok = false;
            // The CUPS library keeps these as floats; so does the arithmetic here.
            values << double(n.toFloat(&ok));
            if (!ok)
                return {};
        }
        return values;
    };
    const QList<double> area = numbers("ImageableArea");   // left bottom right top
    const QList<double> paper = numbers("PaperDimension"); // width length
    if (area.size() != 4 || paper.size() != 2)
        return std::nullopt;
    return QMarginsF(area[0], paper[1] - area[3], paper[0] - area[2], area[1]);
}

QPageLayout sheetWithMinimumMargins(const QMarginsF& minimum)
{
    QPageLayout layout = pdfPageLayout();
    const QMarginsF m = layout.margins();
    layout.setMinimumMargins(minimum);
    layout.setMargins(QMarginsF(qMax(m.left(), minimum.left()), qMax(m.top(), minimum.top()),
                                qMax(m.right(), minimum.right()), qMax(m.bottom(), minimum.bottom())));
    return layout;
}

QPageLayout documentPageLayout()
{
    const QByteArray ppd = defaultQueuePpd();
    if (ppd.isEmpty())
        return pdfPageLayout();
    return sheetWithMinimumMargins(ppdA4Margins(ppd).value_or(QMarginsF()));
}

} // namespace morvane::output
