#pragma once
// PreviewForm: one page of the loaded object's document at a time, as a white
// sheet of the printer's paper with the printable area inside it, zoomed from
// 60 to 200 percent.
#include "document/DocumentData.h"
#include "output/PreviewLayout.h"
#include <QDialog>
#include <QImage>
#include <QSet>
#include <QSpinBox>
#include <functional>

class QFrame;
class QLabel;
class QPushButton;
class QScrollArea;

namespace morvane::output {

class TPreviewForm;

// A paint area: shows the page its form rendered for the current layout.
class PreviewPaintArea : public QWidget {
    Q_OBJECT
public:
    PreviewPaintArea(TPreviewForm& form, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TPreviewForm& m_form;
};

// The page field: only its arrows and the Up and Down keys change it.
class PageSpinEdit : public QSpinBox {
    Q_OBJECT
public:
    explicit PageSpinEdit(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
};

class TPreviewForm : public QDialog {
    Q_OBJECT
public:
    explicit TPreviewForm(QWidget* parent = nullptr);

    QFrame* Panel1;
    QPushButton* PrintOut;
    QPushButton* ZoomIn;
    QPushButton* ZoomOut;
    QLabel* ZoomScaleLabel;
    PageSpinEdit* SpinEdit1;
    QLabel* Label1;
    QPushButton* BitBtn1; // "ﾌﾟﾘﾝﾀｰ設定"
    QPushButton* BitBtn2; // "閉じる"
    QScrollArea* ScrollBox1;
    QFrame* PreviewPanel;
    PreviewPaintArea* PreviewArea;
    QFrame* PreviewPanel3;
    PreviewPaintArea* PreviewArea3;

    int ZoomPercent = 0;

    // Prints the loaded document (the main window's print handler, with the sender).
    std::function<void(QObject* sender)> onPrint;

    void FormCreate();
    void FormShow();
    void SetZoom(int z);
    void ZoomInClick();
    void ZoomOutClick();
    void SpinEdit1Change();
    void PrintOutClick();
    void BitBtn1Click();
    void SelectPaper(const QString& paper, const QString& orientation);

    // Before each opening: the document to show, page range 1 to its page count, page 1.
    void prepare(document::DocumentData data);
    int page() const;
    const PreviewLayout& layout() const { return m_layout; }
    const QImage& renderedPage() const { return m_image; }
    const document::DocumentData& document() const { return m_data; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    friend class PreviewPaintArea;
    void layoutWindow();
    void renderPage();
    void updateZoomControls();

    document::DocumentData m_data;
    PreviewLayout m_layout;
    QImage m_image;
    int m_imagePage = 0;
    QSet<int> m_warnedPages; // a failed page warns once an opening
};

} // namespace morvane::output
