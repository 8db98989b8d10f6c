#pragma once
// Four-button record navigator (first, prior, next, last) on a query.
#include <QWidget>

class QToolButton;

namespace morvane {

class Query;

class TableNavigator : public QWidget {
    Q_OBJECT
public:
    explicit TableNavigator(Query& query, QWidget* parent = nullptr);

    QToolButton* firstButton() const { return m_first; }
    QToolButton* priorButton() const { return m_prior; }
    QToolButton* nextButton() const { return m_next; }
    QToolButton* lastButton() const { return m_last; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void updateButtons();

    Query& m_query;
    QToolButton* m_first;
    QToolButton* m_prior;
    QToolButton* m_next;
    QToolButton* m_last;
};

} // namespace morvane
