#pragma once
// Small widget helpers shared by the windows.
#include <QLineEdit>
#include <QStyle>

class QWidget;
class QPushButton;

namespace morvane {

// A line edit whose letters a-z become A-Z as they are typed or put in.
class UpperCaseEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit UpperCaseEdit(QWidget* parent = nullptr);
};

// Replaces a-z by A-Z and leaves every other character as it is.
QString asciiUpper(const QString& text);

// Shows every character as "#".
void makePasswordField(QLineEdit* edit);

// Colours through the palette, not a style sheet: a style sheet on a child
// makes it resolve its own font and leave the window's face.
void setTextColour(QWidget* w, const QColor& colour);
void setFieldBackground(QWidget* w, const QColor& colour);
void setPanelColour(QWidget* w, const QColor& colour);

// Window sizes are given as outer sizes at 96 dpi; this is the client size
// for an ordinary sizeable frame with a caption.
void setOuterSize(QWidget* window, int width, int height);

// Places a child at Left, Top, Width, Height (pixels at 96 dpi).
void place(QWidget* w, int left, int top, int width, int height);
void placeAt(QWidget* w, int left, int top); // natural size

// A button with a small glyph of the style's standard set.
QPushButton* glyphButton(const QString& caption, QStyle::StandardPixmap glyph, QWidget* parent);

} // namespace morvane
