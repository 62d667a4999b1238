#include "preview/RpPreview.h"

#include "report/pages/RpPrinter.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPicture>
#include <QScrollBar>
#include <cmath>

namespace {

constexpr double kLetterWidthPixels = 215.9;
constexpr double kLetterHeightPixels = 279.4;

} // namespace

// ---- TRpPreviewImage ----

TRpPreviewImage::TRpPreviewImage(TRpPreview *preview, QWidget *parent)
    : QWidget(parent)
    , m_preview(preview)
{
    resize(100, 50);
}

TRpPreviewImage::~TRpPreviewImage() = default;

void TRpPreviewImage::setStore(TRpPrinter *store)
{
    m_store = store;
}

void TRpPreviewImage::LoadPage()
{
    m_picture.reset();
    if (m_store) {
        // A page that cannot be read shows as missing; the failure must not travel through the event loop.
        try {
            m_picture = m_store->CopyPage(m_pageNumber);
        } catch (const Exception &) {
            m_picture.reset();
        }
    }
    update();
}

void TRpPreviewImage::paintEvent(QPaintEvent *)
{
    if (!m_picture)
        return;
    const int w = width();
    const int h = height();
    QPainter painter(this);
    painter.setPen(Qt::white);
    painter.setBrush(Qt::white);
    painter.drawRect(1, 1, w - 5, h - 5);
    const QRect page = m_picture->boundingRect();
    if (page.width() > 0 && page.height() > 0) {
        painter.save();
        // The picture draws with the pen, brush and font it finds unless it sets its own.
        painter.setPen(QPen(Qt::black, 0));
        painter.setBrush(Qt::NoBrush);
        painter.setFont(QFont());
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.scale(double(w) / page.width(), double(h) / page.height());
        painter.translate(-page.topLeft());
        painter.setClipRect(page);
        painter.drawPicture(0, 0, *m_picture);
        painter.restore();
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::black, 1));
    const QPoint frame[] { { 0, 0 }, { 0, h - 3 }, { w - 3, h - 3 }, { w - 3, 0 }, { 0, 0 } };
    painter.drawPolyline(frame, 5);
    painter.fillRect(QRect(QPoint(w - 2, 2), QPoint(w - 1, h - 1)), Qt::black);
    painter.fillRect(QRect(QPoint(2, h - 2), QPoint(w - 1, h - 1)), Qt::black);
}

void TRpPreviewImage::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && m_preview->OnClick)
        m_preview->OnClick(m_preview);
    QWidget::mousePressEvent(event);
}

void TRpPreviewImage::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (m_preview->OnDblClick)
        m_preview->OnDblClick(m_preview);
    QWidget::mouseDoubleClickEvent(event);
}

// ---- TRpPreview ----

TRpPreview::TRpPreview(QWidget *parent)
    : QScrollArea(parent)
    , m_image(new TRpPreviewImage(this))
{
    resize(250, 250);
    setAlignment(Qt::AlignCenter);
    setWidget(m_image);
    setBackgroundRole(QPalette::Dark);
}

TRpPreview::~TRpPreview()
{
    LinkStore(nullptr);
}

void TRpPreview::LinkStore(TRpPrinter *store)
{
    if (m_store && m_store->client() == this) {
        m_store->setClient(nullptr);
        m_store->setShowingPreview(false);
    }
    if (m_store)
        disconnect(m_store, nullptr, this, nullptr);
    m_store = store;
    m_image->setStore(store);
    if (store) {
        store->setClient(this);
        store->setShowingPreview(true);
        // A store that goes away leaves the image without a picture rather than pointing at freed pages.
        connect(store, &QObject::destroyed, this, [this] {
            m_image->setStore(nullptr);
            m_image->LoadPage();
        });
    }
    m_pageNumber = 1;
    m_image->setPageNumber(1);
    LayoutImage();
    m_image->LoadPage();
}

void TRpPreview::setPageNumber(int n)
{
    if ((n == m_pageNumber && m_image->picture()) || n < 1 || !m_store || n > m_store->pageCount())
        return;
    m_image->setPageNumber(n);
    m_image->LoadPage();
    m_pageNumber = n;
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
}

void TRpPreview::setZoom(int zoom)
{
    if (zoom < 2 || zoom > 2000)
        return;
    m_zoomState = ZoomState::Free;
    m_zoom = zoom;
    LayoutImage();
}

double TRpPreview::pageDeviceWidth() const
{
    return m_store ? m_store->DeviceWidth(m_store->PaperWidthNative()) : kLetterWidthPixels;
}

double TRpPreview::pageDeviceHeight() const
{
    return m_store ? m_store->DeviceHeight(m_store->PaperLengthNative()) : kLetterHeightPixels;
}

void TRpPreview::LayoutImage()
{
    int w;
    int h;
    if (m_store) {
        w = m_store->DeviceWidth(m_store->PaperWidthNative() / 100.0L * m_zoom) + 4;
        h = m_store->DeviceHeight(m_store->PaperLengthNative() / 100.0L * m_zoom) + 4;
    } else {
        w = int(std::lround(kLetterWidthPixels / 100 * m_zoom)) + 4;
        h = int(std::lround(kLetterHeightPixels / 100 * m_zoom)) + 4;
    }
    m_image->resize(w, h);
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    m_image->setZoom(m_zoom);
}

void TRpPreview::FitToWindow()
{
    const double pw = pageDeviceWidth();
    const double ph = pageDeviceHeight();
    // A page under one device pixel gives no sensible zoom: keep the one there is.
    if (pw >= 1 && ph >= 1) {
        const long a = std::lround(width() / pw * 95);
        const long b = std::lround(height() / ph * 95);
        setZoom(int(qBound(0L, qMin(a, b), 100000L)));
    }
    m_zoomState = ZoomState::WholePage;
}

void TRpPreview::FitToWidth()
{
    const double pw = pageDeviceWidth();
    if (pw >= 1) {
        const double percent = m_store ? 90 : 95;
        setZoom(int(qBound(0L, std::lround(width() / pw * percent), 100000L)));
    }
    LayoutImage();
    m_zoomState = ZoomState::PageWidth;
}

void TRpPreview::RefreshPage()
{
    if (!m_image->picture() && m_store && m_store->availablePages() >= m_image->pageNumber()) {
        FitToWidth();
        m_image->LoadPage();
    }
}

bool TRpPreview::event(QEvent *event)
{
    const int type = int(event->type());
    if (type == RpNotice::PagesAvailable) {
        const auto *notice = static_cast<TRpStoreEvent *>(event);
        if (notice->store() == m_store.data()) {
            if (notice->parameter() == m_pageNumber)
                RefreshPage();
            if (OnPageAvailable)
                OnPageAvailable(this, notice->parameter());
        }
        return true;
    }
    if (type == RpNotice::Progress) {
        const auto *notice = static_cast<TRpStoreEvent *>(event);
        if (notice->store() == m_store.data() && OnProgressUpdate)
            OnProgressUpdate(this, notice->parameter());
        return true;
    }
    return QScrollArea::event(event);
}

void TRpPreview::resizeEvent(QResizeEvent *event)
{
    QScrollArea::resizeEvent(event);
    if (m_zoomState == ZoomState::WholePage)
        FitToWindow();
    else if (m_zoomState == ZoomState::PageWidth)
        FitToWidth();
    LayoutImage();
}
