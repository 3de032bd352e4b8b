#pragma once
//! The print preview: pages as they are laid out, zoom, paging, and the buttons that print,
//! save a PDF, a spreadsheet or a document. It opens maximised. It keeps a bounded number of
//! laid-out pages; a page it let go is laid out again from the rows, and printing and the
//! PDF lay the report out once more as they go, so a long report takes no more memory
//! than a short one.

#include "ReportLayout.h"
#include "ReportPainter.h"

#include <QDialog>

#include <map>
#include <memory>

class QComboBox;
class QLabel;
class QPrinter;
class QScrollArea;

namespace korvane::report {

class ReportPreview : public QDialog
{
    Q_OBJECT
public:
    //! The cursor must outlive the window; the layout reads it while the window shows.
    ReportPreview(ReportDefinition definition, ReportCursor &cursor, ReportContext context,
                  QWidget *parent = nullptr);
    ~ReportPreview() override;

    int pageCount() const { return pageCount_; }
    bool layoutDone() const { return layout_->atEnd(); }
    int currentPage() const { return current_; }
    void showPage(int index);
    //! A laid-out page, kept or laid out again; index below pageCount().
    const ReportPage &page(int index);
    int keptPages() const { return int(kept_.size()); }
    static constexpr int MaxKeptPages = 100;
    void setZoom(double zoom);
    //! Lays out what is left; printing and the exports need every page or every row.
    void finishLayout();

    bool printTo(QPrinter &printer);
    bool savePdf(const QString &fileName);
    bool saveXlsx(const QString &fileName);
    bool saveOdt(const QString &fileName);

signals:
    void pagesAdded(int pageCount);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildToolBar();
    void layoutSome();
    void keep(ReportPage page);
    //! Lays the report out from its first row again, up to the page at index.
    void layOutAgainTo(int index);
    PageSource freshPages();
    void updatePageLabel();
    void askAndSave(const QString &filter, const QString &suffix,
                    bool (ReportPreview::*save)(const QString &));
    void print();

    ReportCursor &cursor_;
    std::unique_ptr<ReportLayout> layout_;
    std::map<int, ReportPage> kept_; //!< by index, at most MaxKeptPages
    int pageCount_ = 0;
    int focus_ = 0; //!< the page asked for last
    int current_ = -1;
    double zoom_ = 1.0;
    QLabel *pageLabel_ = nullptr;
    QLabel *pageView_ = nullptr;
    QScrollArea *scroll_ = nullptr;
    QComboBox *zoomBox_ = nullptr;
};

} // namespace korvane::report
