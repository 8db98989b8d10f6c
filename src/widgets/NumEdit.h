#pragma once
// The numeric entry field: a whole number of at most three digits with an
// optional leading minus sign, or nothing at all.
#include <QLineEdit>
#include <QValidator>

namespace morvane {

// Accepts "", "-", and -?[0-9]{1,3}; anything else is refused whole, so a
// paste with other characters leaves the field as it was.
class NumEditValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

class SaNumEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit SaNumEdit(QWidget* parent = nullptr);

    void setValue(int value);
    // The text as an integer; throws with "'text' は整数ではありません" when it is none.
    int value() const;
};

// The integer a text holds; the same failure as SaNumEdit::value.
int integerFromText(const QString& text);

} // namespace morvane
