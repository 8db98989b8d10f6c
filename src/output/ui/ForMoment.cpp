#include "output/ui/ForMoment.h"
#include "document/Fonts.h"
#include <QCoreApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QScreen>

namespace morvane {

namespace {
// Through the palette: a style sheet would make the label leave the panel's face.
void colourText(QWidget* w, const QColor& colour)
{
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, colour);
    w->setPalette(p);
}

// An hourglass in front of a database drum, drawn once in code.
QPixmap waitPicture()
{
    QPixmap pm(48, 48);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);

    // Database drum
    p.setPen(QPen(QColor(0x20, 0x40, 0x80), 1));
    p.setBrush(QColor(0x80, 0xA8, 0xE0));
    p.drawRect(QRectF(4, 10, 26, 28));
    p.drawEllipse(QRectF(4, 32, 26, 10));
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(4.5, 14, 25, 23));
    p.setPen(QPen(QColor(0x20, 0x40, 0x80), 1));
    p.setBrush(QColor(0xB8, 0xD0, 0xF0));
    p.drawEllipse(QRectF(4, 5, 26, 10));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(4, 15, 26, 10), 180 * 16, 180 * 16);
    p.drawArc(QRectF(4, 24, 26, 10), 180 * 16, 180 * 16);

    // Hourglass
    p.setPen(QPen(QColor(0x60, 0x30, 0x00), 2));
    p.drawLine(QPointF(24, 14), QPointF(44, 14));
    p.drawLine(QPointF(24, 44), QPointF(44, 44));
    QPainterPath glass;
    glass.moveTo(26, 15);
    glass.lineTo(42, 15);
    glass.lineTo(35, 29);
    glass.lineTo(42, 43);
    glass.lineTo(26, 43);
    glass.lineTo(33, 29);
    glass.closeSubpath();
    p.setPen(QPen(QColor(0x40, 0x40, 0x40), 1));
    p.setBrush(QColor(0xF0, 0xF8, 0xFF, 220));
    p.drawPath(glass);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xE0, 0xB0, 0x40));
    QPolygonF top({QPointF(29, 19), QPointF(39, 19), QPointF(34.5, 27)});
    QPolygonF bottom({QPointF(28, 42), QPointF(40, 42), QPointF(34, 35)});
    p.drawPolygon(top);
    p.drawPolygon(bottom);
    return pm;
}
} // namespace

TF_ForMoment::TF_ForMoment(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("F_ForMoment"));
    setWindowTitle(QStringLiteral("情報"));
    setModal(false);
    setFixedSize(270, 135);
    setFont(document::minchoFont(13));

    Panel1 = new QFrame(this);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setGeometry(6, 7, 259, 122);
    Panel1->setFont(document::minchoFont(13));

    Image1 = new QLabel(Panel1);
    Image1->setGeometry(10, 15, 48, 48);
    Image1->setPixmap(waitPicture());

    Label2 = new QLabel(QStringLiteral("Now Loading..."), Panel1);
    colourText(Label2, QColor(0xFF, 0x00, 0xFF));
    Label2->adjustSize();
    Label2->move(74, 24);

    Label1 = new QLabel(QStringLiteral("しばらくお待ち下さい．．．"), Panel1);
    colourText(Label1, QColor(0x00, 0x00, 0xFF));
    Label1->adjustSize();
    Label1->move(72, 48);

    ProgressBar1 = new QProgressBar(Panel1);
    ProgressBar1->setGeometry(16, 80, 227, 25);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
}

void TF_ForMoment::showProgress(int maximum)
{
    ProgressBar1->setRange(0, maximum);
    ProgressBar1->setValue(0);
    if (!isVisible()) {
        if (QScreen* screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - rect().center());
        show();
    }
    raise();
    repaintNow();
}

void TF_ForMoment::setProgress(int position)
{
    ProgressBar1->setValue(position);
    repaintNow();
}

void TF_ForMoment::hideProgress() { hide(); }

int TF_ForMoment::position() const { return ProgressBar1->value(); }

int TF_ForMoment::maximum() const { return ProgressBar1->maximum(); }

void TF_ForMoment::repaintNow()
{
    if (!isVisible())
        return;
    repaint();
    // The load blocks the event loop; let the window system draw, but take no input.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TF_ForMoment::keyPressEvent(QKeyEvent* event)
{
    // Nothing may interrupt a load: Escape does not close this dialog.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace morvane
