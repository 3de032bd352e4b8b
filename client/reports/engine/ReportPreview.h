#pragma once
//! The print preview: pages as they are laid out, zoom, paging, and the buttons that print,
//! save a PDF, a spreadsheet or a document. It opens maximised.

#include "ReportLayout.h"

#include <QDialog>

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

    int pageCount() const { return int(pages_.size()); }
    bool layoutDone() const { return layout_->atEnd(); }
    int currentPage() const { return current_; }
    void showPage(int index);
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
    void updatePageLabel();
    void askAndSave(const QString &filter, const QString &suffix,
                    bool (ReportPreview::*save)(const QString &));
    void print();

    ReportCursor &cursor_;
    std::unique_ptr<ReportLayout> layout_;
    QVector<ReportPage> pages_;
    int current_ = -1;
    double zoom_ = 1.0;
    QLabel *pageLabel_ = nullptr;
    QLabel *pageView_ = nullptr;
    QScrollArea *scroll_ = nullptr;
    QComboBox *zoomBox_ = nullptr;
};

} // namespace korvane::report
