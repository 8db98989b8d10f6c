#include "tablelist/TableNavigator.h"
#include <functional>
#include "database/Query.h"
#include "core/Platform.h"
#include <QPainter>
#include <QPixmap>
#include <QPolygon>
#include <QToolButton>

namespace morvane {

namespace {
enum class Glyph { First, Prior, Next, Last };

// Small black triangles with a bar at the ends, drawn so no image files are needed.
QIcon navigatorIcon(Glyph g)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    const bool left = g == Glyph::First || g == Glyph::Prior;
    const QPolygon tri = left ? QPolygon({QPoint(10, 3), QPoint(10, 12), QPoint(5, 8)})
                              : QPolygon({QPoint(6, 3), QPoint(6, 12), QPoint(11, 8)});
    p.drawPolygon(tri);
    if (g == Glyph::First)
        p.drawRect(3, 3, 1, 10);
    if (g == Glyph::Last)
        p.drawRect(12, 3, 1, 10);
    return QIcon(pm);
}
} // namespace

TableNavigator::TableNavigator(Query& query, QWidget* parent) : QWidget(parent), m_query(query)
{
    auto make = [this](Glyph g, const QString& name, void (Query::*move)()) {
        auto* b = new QToolButton(this);
        b->setObjectName(name);
        b->setIcon(navigatorIcon(g));
        b->setAutoRaise(false);
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QToolButton::clicked, this, [this, move] {
            runGuarded([this, move] {
                // std::invoke: GCC 12's vptr check miscompiles ".*" inside this lambda.
                if (m_query.isOpen())
                    std::invoke(move, m_query);
            });
            updateButtons();
        });
        return b;
    };
    m_first = make(Glyph::First, QStringLiteral("nbFirst"), &Query::first);
    m_prior = make(Glyph::Prior, QStringLiteral("nbPrior"), &Query::prior);
    m_next = make(Glyph::Next, QStringLiteral("nbNext"), &Query::next);
    m_last = make(Glyph::Last, QStringLiteral("nbLast"), &Query::last);
    connect(&m_query, &Query::resultChanged, this, &TableNavigator::updateButtons);
    connect(&m_query, &Query::currentRowChanged, this, &TableNavigator::updateButtons);
    updateButtons();
}

void TableNavigator::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    QToolButton* buttons[] = {m_first, m_prior, m_next, m_last};
    const int w = width();
    for (int i = 0; i < 4; ++i) {
        const int x0 = w * i / 4;
        const int x1 = w * (i + 1) / 4;
        buttons[i]->setGeometry(x0, 0, x1 - x0, height());
    }
}

void TableNavigator::updateButtons()
{
    const int rows = m_query.recordCount();
    const int row = m_query.currentRow();
    const bool canBack = rows > 0 && row > 0;
    const bool canForward = rows > 0 && row < rows - 1;
    m_first->setEnabled(canBack);
    m_prior->setEnabled(canBack);
    m_next->setEnabled(canForward);
    m_last->setEnabled(canForward);
}

} // namespace morvane
