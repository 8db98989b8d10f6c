#include "output/ui/PreviewForm.h"
#include "widgets/QtPlatform.h"
#include "widgets/Widgets.h"
#include "document/Fonts.h"
#include "document/PageRoutines.h"
#include "document/QPainterCanvas.h"
#include "output/ui/SharedPrinter.h"
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>

namespace morvane::output {

namespace {
constexpr int SheetMargin = 8;

QFrame* whiteSheet(QWidget* parent)
{
    auto* f = new QFrame(parent);
    f->setFrameStyle(QFrame::NoFrame);
    f->setAutoFillBackground(true);
    QPalette pal = f->palette();
    pal.setColor(QPalette::Window, Qt::white);
    f->setPalette(pal);
    return f;
}
} // namespace

PreviewPaintArea::PreviewPaintArea(TPreviewForm& form, QWidget* parent) : QWidget(parent), m_form(form)
{
    setFont(document::pageBaseFont());
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PreviewPaintArea::paintEvent(QPaintEvent*)
{
    m_form.updateZoomControls();
    QPainter p(this);
    if (m_form.m_image.isNull())
        p.fillRect(rect(), Qt::white);
    else
        p.drawImage(0, 0, m_form.m_image);
}

PageSpinEdit::PageSpinEdit(QWidget* parent) : QSpinBox(parent)
{
    lineEdit()->setReadOnly(true);
    setMinimum(1);
    setMaximum(1);
}

void PageSpinEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down)
        QSpinBox::keyPressEvent(event);
    else
        event->ignore();
}

void PageSpinEdit::wheelEvent(QWheelEvent* event) { event->ignore(); }

TPreviewForm::TPreviewForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("PreviewForm"));
    setWindowTitle(QStringLiteral("プレビューウィンドウ"));
    setFont(document::minchoFont(16));
    resize(592, 681);

    Panel1 = new QFrame(this);
    Panel1->setFrameStyle(QFrame::NoFrame);
    PrintOut = glyphButton(QStringLiteral("印刷(&P)"), QStyle::SP_FileIcon, Panel1);
    place(PrintOut, 8, 5, 100, 40);
    ZoomIn = new QPushButton(QStringLiteral("＋"), Panel1);
    ZoomIn->setToolTip(QStringLiteral("拡大する"));
    place(ZoomIn, 120, 9, 30, 30);
    ZoomOut = new QPushButton(QStringLiteral("－"), Panel1);
    ZoomOut->setToolTip(QStringLiteral("縮小する"));
    place(ZoomOut, 150, 9, 30, 30);
    ZoomScaleLabel = new QLabel(Panel1);
    place(ZoomScaleLabel, 188, 17, 64, 18);
    SpinEdit1 = new PageSpinEdit(Panel1);
    SpinEdit1->setFont(document::minchoFont(20));
    SpinEdit1->setToolTip(QStringLiteral("表示するページ数を指定して下さい。"));
    place(SpinEdit1, 256, 9, 44, 30);
    Label1 = new QLabel(QStringLiteral("ページ"), Panel1);
    placeAt(Label1, 302, 16);
    BitBtn1 = glyphButton(QStringLiteral("ﾌﾟﾘﾝﾀｰ設定"), QStyle::SP_ComputerIcon, Panel1);
    place(BitBtn1, 364, 5, 100, 40);
    BitBtn2 = glyphButton(QStringLiteral("閉じる"), QStyle::SP_DialogCloseButton, Panel1);
    place(BitBtn2, 484, 5, 100, 40);

    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setWidgetResizable(false);
    ScrollBox1->setBackgroundRole(QPalette::Dark);
    auto* content = new QWidget;
    PreviewPanel = whiteSheet(content);
    PreviewArea = new PreviewPaintArea(*this, PreviewPanel);
    PreviewPanel3 = whiteSheet(content);
    PreviewArea3 = new PreviewPaintArea(*this, PreviewPanel3);
    PreviewPanel3->hide();
    ScrollBox1->setWidget(content);

    layoutWindow();

    auto guarded = [this](void (TPreviewForm::*h)()) {
        return [this, h] { runGuarded([this, h] { (this->*h)(); }); };
    };
    connect(PrintOut, &QPushButton::clicked, this, guarded(&TPreviewForm::PrintOutClick));
    connect(ZoomIn, &QPushButton::clicked, this, guarded(&TPreviewForm::ZoomInClick));
    connect(ZoomOut, &QPushButton::clicked, this, guarded(&TPreviewForm::ZoomOutClick));
    connect(BitBtn1, &QPushButton::clicked, this, guarded(&TPreviewForm::BitBtn1Click));
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::accept);
    connect(SpinEdit1, QOverload<int>::of(&QSpinBox::valueChanged), this,
            [this](int) { runGuarded([this] { SpinEdit1Change(); }); });

    FormCreate();
}

void TPreviewForm::layoutWindow()
{
    Panel1->setGeometry(0, 0, width(), 49);
    ScrollBox1->setGeometry(0, 49, width(), std::max(0, height() - 49));
}

void TPreviewForm::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    layoutWindow();
}

void TPreviewForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (QScreen* s = screen())
        move(s->availableGeometry().center() - rect().center());
}

void TPreviewForm::FormCreate()
{
    SetZoom(ZoomInitial);
    SelectPaper(QStringLiteral("A4"), QStringLiteral("縦"));
}

void TPreviewForm::SelectPaper(const QString& paper, const QString& orientation)
{
    Printer().SelectPaper(paper, orientation);
}

void TPreviewForm::prepare(document::DocumentData data)
{
    m_data = std::move(data);
    m_warnedPages.clear();
    m_imagePage = 0;
    const QSignalBlocker block(SpinEdit1);
    SpinEdit1->setMinimum(1);
    SpinEdit1->setMaximum(document::documentPageCount(m_data));
    SpinEdit1->setValue(1);
    FormShow();
}

int TPreviewForm::page() const { return SpinEdit1->value(); }

void TPreviewForm::updateZoomControls()
{
    ZoomIn->setEnabled(ZoomPercent < ZoomMax);
    ZoomOut->setEnabled(ZoomPercent > ZoomMin);
    const QString label = QStringLiteral("x%1%").arg(ZoomPercent);
    if (ZoomScaleLabel->text() != label)
        ZoomScaleLabel->setText(label);
}

void TPreviewForm::SetZoom(int z)
{
    if (z == ZoomPercent || z < ZoomMin || z > ZoomMax)
        return;
    ZoomPercent = z;
    FormShow();
    update();
}

void TPreviewForm::ZoomInClick() { SetZoom(ZoomPercent + ZoomStep); }
void TPreviewForm::ZoomOutClick() { SetZoom(ZoomPercent - ZoomStep); }

void TPreviewForm::SpinEdit1Change() { FormShow(); }

void TPreviewForm::FormShow()
{
    // No paper preset here: the sheet is whatever the printer holds now.
    const PrinterFigures figures = Printer().figures();
    m_layout = previewLayout(figures, logicalDpiY(), ZoomPercent);
    const bool first = page() == 1;
    QFrame* sheet = first ? PreviewPanel : PreviewPanel3;
    PreviewPaintArea* area = first ? PreviewArea : PreviewArea3;
    PreviewPanel->setVisible(first);
    PreviewPanel3->setVisible(!first);
    sheet->raise();
    sheet->setGeometry(SheetMargin, SheetMargin, m_layout.sheet.width(), m_layout.sheet.height());
    area->setGeometry(m_layout.area);
    ScrollBox1->widget()->resize(m_layout.sheet.width() + 2 * SheetMargin,
                                 m_layout.sheet.height() + 2 * SheetMargin);
    renderPage();
    ScrollBox1->verticalScrollBar()->setValue(1);
    updateZoomControls();
    update();
    area->update();
}

void TPreviewForm::renderPage()
{
    const int p = page();
    const qreal dpr = devicePixelRatioF();
    const QSize size = m_layout.area.size() * dpr;
    m_image = QImage(size.isEmpty() ? QSize(1, 1) : size, QImage::Format_RGB32);
    m_image.fill(Qt::white);
    m_image.setDevicePixelRatio(dpr);
    m_imagePage = p;
    if (size.isEmpty())
        return;
    QPainter painter(&m_image);
    painter.scale(1 / dpr, 1 / dpr); // the page routines draw in device pixels
    document::QPainterCanvas canvas(painter);
    const int resolution = qRound(m_layout.drawResolution * dpr);
    platform::setBusyCursor();
    document::PageResult result;
    try {
        result = document::drawDocumentPage(canvas, resolution, p, m_data);
    } catch (...) {
        platform::setNormalCursor();
        throw;
    }
    platform::setNormalCursor();
    painter.end();
    // Repaints blit this picture; a failed page warns once an opening, not at every zoom.
    if (!result.ok && !m_warnedPages.contains(p)) {
        m_warnedPages.insert(p);
        platform::warning(result.warning);
    }
}

void TPreviewForm::PrintOutClick()
{
    if (onPrint)
        onPrint(PrintOut);
    FormShow();
}

void TPreviewForm::BitBtn1Click()
{
    Printer().PrinterSetupDialog1(this);
    FormShow();
}

} // namespace morvane::output
