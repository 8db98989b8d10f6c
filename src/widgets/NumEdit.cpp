#include "widgets/NumEdit.h"
#include <stdexcept>

namespace morvane {

QValidator::State NumEditValidator::validate(QString& input, int&) const
{
    const int digitsFrom = input.startsWith(QLatin1Char('-')) ? 1 : 0;
    const int digits = input.size() - digitsFrom;
    if (digits > 3)
        return Invalid;
    for (int i = digitsFrom; i < input.size(); ++i)
        if (input.at(i) < QLatin1Char('0') || input.at(i) > QLatin1Char('9'))
            return Invalid;
    // Empty and a lone minus sign may stand while the user types.
    return digits == 0 ? Intermediate : Acceptable;
}

SaNumEdit::SaNumEdit(QWidget* parent) : QLineEdit(parent)
{
    setValidator(new NumEditValidator(this));
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Digits only: no input method composing full-width characters.
    setAttribute(Qt::WA_InputMethodEnabled, false);
}

void SaNumEdit::setValue(int value) { setText(QString::number(value)); }

int SaNumEdit::value() const { return integerFromText(text()); }

int integerFromText(const QString& text)
{
    bool ok = false;
    const int v = text.toInt(&ok, 10);
    if (!ok || text.trimmed() != text || text.startsWith(QLatin1Char('+')))
        throw std::runtime_error(QStringLiteral("'%1' は整数ではありません").arg(text).toStdString());
    return v;
}

} // namespace morvane
