#include "widgets/Widgets.h"
#include <QApplication>
#include <QProxyStyle>
#include <QPushButton>

namespace morvane {

QString asciiUpper(const QString& text)
{
    QString out = text;
    for (QChar& c : out)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 'a' + 'A');
    return out;
}

UpperCaseEdit::UpperCaseEdit(QWidget* parent) : QLineEdit(parent)
{
    connect(this, &QLineEdit::textChanged, this, [this](const QString& t) {
        const QString up = asciiUpper(t);
        if (up != t) {
            const int pos = cursorPosition();
            setText(up);
            setCursorPosition(pos);
        }
    });
}

namespace {
class HashPasswordStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '#';
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};
} // namespace

void makePasswordField(QLineEdit* edit)
{
    edit->setEchoMode(QLineEdit::Password);
    auto* style = new HashPasswordStyle;
    style->setParent(edit);
    edit->setStyle(style);
}

void setTextColour(QWidget* w, const QColor& colour)
{
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, colour);
    p.setColor(QPalette::Text, colour);
    w->setPalette(p);
}

void setFieldBackground(QWidget* w, const QColor& colour)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Base, colour);
    w->setPalette(p);
}

void setPanelColour(QWidget* w, const QColor& colour)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Window, colour);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

void setOuterSize(QWidget* window, int width, int height) { window->resize(width - 8, height - 34); }

void place(QWidget* w, int left, int top, int width, int height) { w->setGeometry(left, top, width, height); }

void placeAt(QWidget* w, int left, int top)
{
    w->adjustSize();
    w->move(left, top);
}

QPushButton* glyphButton(const QString& caption, QStyle::StandardPixmap glyph, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setIcon(QApplication::style()->standardIcon(glyph));
    return b;
}

} // namespace morvane
