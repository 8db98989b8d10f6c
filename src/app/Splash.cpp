#include "app/Splash.h"
#include "widgets/Widgets.h"
#include "document/Fonts.h"
#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>

namespace morvane {

QPixmap programIcon(int size)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal w = size;
    // A database drum with a printed sheet in front of it.
    p.setPen(QPen(QColor(0, 0, 128), 1));
    p.setBrush(QColor(70, 110, 200));
    p.drawRect(QRectF(w * 0.08, w * 0.18, w * 0.56, w * 0.6));
    p.drawEllipse(QRectF(w * 0.08, w * 0.68, w * 0.56, w * 0.2));
    p.setBrush(QColor(120, 160, 240));
    p.drawEllipse(QRectF(w * 0.08, w * 0.08, w * 0.56, w * 0.2));
    p.setBrush(Qt::white);
    p.setPen(QPen(Qt::black, 1));
    p.drawRect(QRectF(w * 0.48, w * 0.36, w * 0.44, w * 0.56));
    for (int i = 0; i < 4; ++i)
        p.drawLine(QPointF(w * 0.54, w * (0.46 + i * 0.11)), QPointF(w * 0.86, w * (0.46 + i * 0.11)));
    return pm;
}

namespace {
QLabel* label(const QString& text, const char* colour, int px, QWidget* parent, int x, int y)
{
    auto* l = new QLabel(text, parent);
    l->setFont(document::uiFont(px));
    setTextColour(l, QColor(QLatin1String(colour)));
    placeAt(l, x, y);
    return l;
}
} // namespace

TSplashForm::TSplashForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint)
{
    setObjectName("SplashForm");
    setWindowTitle(QStringLiteral("Morvane"));
    setFixedSize(256, 183);
    setFont(document::uiFont(13));
    auto* panel = new QFrame(this);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(2);
    place(panel, 0, 0, 256, 183);

    auto* icon = new QLabel(panel);
    icon->setPixmap(programIcon(41));
    place(icon, 16, 20, 41, 41);
    label(QStringLiteral("Morvane"), "#0000FF", 16, panel, 87, 24);
    label(QStringLiteral("Ver.2.2.0"), "#0000FF", 13, panel, 186, 43);
    label(QStringLiteral("for Windows95･98/NT"), "#FF0000", 13, panel, 112, 62);
    label(QStringLiteral("2000/XP"), "#FF0000", 13, panel, 185, 78);
    label(QStringLiteral("ORACLE ７34･80x･81x"), "#008080", 13, panel, 32, 88);
    label(QStringLiteral("Qt %1 / SQLite").arg(QLatin1String(qVersion())), "#008080", 13, panel, 112, 104);
    label(QStringLiteral("Now Loading..."), "#FF00FF", 13, panel, 16, 110);
    label(QStringLiteral("しばらくお待ち下さい．．．"), "#0000FF", 13, panel, 16, 126);

    ProgressBar1 = new QProgressBar(panel);
    ProgressBar1->setRange(0, 3);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    place(ProgressBar1, 16, 144, 223, 25);
}

void TSplashForm::setProgress(int position)
{
    ProgressBar1->setValue(position);
    repaintNow();
}

void TSplashForm::repaintNow()
{
    repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace morvane
