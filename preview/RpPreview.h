#pragma once

#include <QPointer>
#include <QScrollArea>
#include <QWidget>
#include <functional>
#include <memory>

class QPicture;
class TRpPrinter;
class TRpPreview;

using TRpPageAvailableEvent = std::function<void(QObject *sender, int pageCount)>;
using TRpProgressUpdateEvent = std::function<void(QObject *sender, int progress)>;

// The page image of a preview: a copy of one stored page, stretched over the control with a frame and a
// shadow. Without a picture it paints nothing.
class TRpPreviewImage : public QWidget
{
    Q_OBJECT
public:
    explicit TRpPreviewImage(TRpPreview *preview, QWidget *parent = nullptr);
    ~TRpPreviewImage() override;

    void setStore(TRpPrinter *store);
    int pageNumber() const { return m_pageNumber; }
    void setPageNumber(int n) { m_pageNumber = n; }
    int zoom() const { return m_zoom; }
    void setZoom(int zoom) { m_zoom = zoom; }
    const QPicture *picture() const { return m_picture.get(); }
    // Takes a fresh copy of its page from the store (none while it is not stored, or when it cannot be read).
    void LoadPage();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    TRpPreview *m_preview;
    QPointer<TRpPrinter> m_store;
    int m_pageNumber = 1;
    int m_zoom = 100;
    std::unique_ptr<QPicture> m_picture;
};

// A scrolling view of one page of a page store, with zoom and page navigation. It is the store's client while
// linked: pages-available and progress notices arrive as events and reach OnPageAvailable and
// OnProgressUpdate.
class TRpPreview : public QScrollArea
{
    Q_OBJECT
public:
    enum class ZoomState { WholePage, PageWidth, Free };

    explicit TRpPreview(QWidget *parent = nullptr);
    ~TRpPreview() override;

    void LinkStore(TRpPrinter *store);
    TRpPrinter *store() const { return m_store.data(); }
    TRpPreviewImage *image() const { return m_image; }

    int PageNumber() const { return m_pageNumber; }
    void setPageNumber(int n);
    int Zoom() const { return m_zoom; }
    void setZoom(int zoom);
    ZoomState zoomState() const { return m_zoomState; }
    void FitToWindow();
    void FitToWidth();
    void LayoutImage();
    void RefreshPage();

    TRpPageAvailableEvent OnPageAvailable;
    TRpProgressUpdateEvent OnProgressUpdate;
    std::function<void(QObject *sender)> OnClick;
    std::function<void(QObject *sender)> OnDblClick;

protected:
    bool event(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // Device pixels of the page at 100 %, or those of a Letter page when no store is linked.
    double pageDeviceWidth() const;
    double pageDeviceHeight() const;

    TRpPreviewImage *m_image;
    QPointer<TRpPrinter> m_store;
    int m_pageNumber = 1;
    int m_zoom = 100;
    ZoomState m_zoomState = ZoomState::Free;
};
