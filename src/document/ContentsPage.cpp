#include "document/ContentsPage.h"
#include "document/PageGeometry.h"
#include <algorithm>

namespace morvane::document {

namespace {

// No, name, type, comment, page: the page rules of the column pages' width.
const QVector<int> kRules = {50, 150, 750, 950, 1750, 1950};
// Left-aligned cells start this far right of their rule, and keep as much clear of the next.
constexpr int kInset = 10;

QString oneLine(const QString& text) { return splitTextLines(text).join(QLatin1Char(' ')); }

void drawContentsHeader(PageContext& page, const ContentsData& d)
{
    const int P = page.RowPitch();
    ICanvas& c = page.canvas();
    page.SetFontSize(18);
    c.setBrushColor(Qt::black);
    c.rectangle(page.ToDevice(560), page.ToDevice(40), page.ToDevice(1440), page.ToDevice(130));
    c.setBrushColor(Qt::white);
    c.rectangle(page.ToDevice(550), page.ToDevice(30), page.ToDevice(1430), page.ToDevice(120));
    page.textAt(580, P, QStringLiteral("データベース定義目次"));
    page.SetFontSize(13);
    page.textAt(50, 4 * P, QStringLiteral("◎ＯＷＮＥＲ：｢") + d.owner + QStringLiteral("｣"));
    page.SetFontSize(9);
    page.textAt(1600, P, QStringLiteral("作成日：") + headerDateText());
    page.textAt(1600, 2 * P, QStringLiteral("作成者：") + d.printName);
}

} // namespace

int contentsPageCount(int entries)
{
    return std::max(1, (entries + kContentsRowsPerPage - 1) / kContentsRowsPerPage);
}

QString contentsFailureText() { return QStringLiteral("出力エラー"); }

QString elideToWidth(ICanvas& canvas, const QString& text, int width)
{
    if (canvas.textWidth(text) <= width)
        return text;
    const QString ellipsis = QStringLiteral("…");
    // Widths grow with length, so the longest fitting start is found by halving.
    int lo = 0, hi = text.size();
    while (lo < hi) {
        const int mid = (lo + hi + 1) / 2;
        if (canvas.textWidth(text.left(mid) + ellipsis) <= width)
            lo = mid;
        else
            hi = mid - 1;
    }
    // Never half a surrogate pair.
    if (lo > 0 && text.at(lo - 1).isHighSurrogate())
        --lo;
    return text.left(lo) + ellipsis;
}

PageResult DrawContentsPage(ICanvas& canvas, int resolution, int n, const ContentsData& d,
                            QVector<ContentsRowBox>* rows)
{
    const QString warning =
        QStringLiteral("目次") + QString::number(n) + QStringLiteral("ページ作成エラー。");
    try {
        PageContext page(canvas, resolution);
        page.usePageFace();
        page.EraseArea(0, 0, 1990, 2800);
        page.SetPenWidth(1);
        page.setRowPitch(page.pitchAt(10));
        const int P = page.RowPitch();
        drawContentsHeader(page, d);
        page.SetFontSize(10);

        const int first = (n - 1) * kContentsRowsPerPage;
        const int count = std::clamp(static_cast<int>(d.entries.size()) - first, 0, kContentsRowsPerPage);
        GridSpec grid{6,
                      QStringLiteral("オブジェクト一覧 Page") + QString::number(n),
                      kRules,
                      count + 1,
                      count + 1,
                      {{QStringLiteral("No"), {}},
                       {QStringLiteral("オブジェクト名"), {}},
                       {QStringLiteral("種別"), {}},
                       {QStringLiteral("コメント"), {}},
                       {QStringLiteral("ページ"), {}}}};
        page.drawGridFrame(grid);
        const auto width = [&](int left, int right) { return page.ToDevice(right - left - 2 * kInset); };
        for (int i = 0; i < count; ++i) {
            const ContentsEntry& e = d.entries.at(first + i);
            const int band = 8 + i;
            const int y = page.ToDevice(band * P + 7);
            page.DrawCellText(kRules[0], kRules[1], y, QString::number(first + i + 1));
            canvas.textOut(page.ToDevice(kRules[1] + kInset), y,
                           elideToWidth(canvas, oneLine(e.name), width(kRules[1], kRules[2])));
            page.DrawCellText(kRules[2], kRules[3], y, e.type);
            const QString comment = oneLine(e.comment);
            if (!comment.isEmpty())
                canvas.textOut(page.ToDevice(kRules[3] + kInset), y,
                               elideToWidth(canvas, comment, width(kRules[3], kRules[4])));
            page.DrawCellText(kRules[4], kRules[5], y,
                              e.startPage > 0 ? QString::number(e.startPage) : contentsFailureText());
            if (rows)
                rows->push_back({QRect(QPoint(page.ToDevice(kRules.first()), page.ToDevice(band * P)),
                                       QPoint(page.ToDevice(kRules.last()), page.ToDevice((band + 1) * P))),
                                 first + i});
        }
    } catch (const std::exception& e) {
        return {false, warning, QString::fromUtf8(e.what())};
    } catch (...) {
        return {false, warning, QString()};
    }
    return {};
}

} // namespace morvane::document
