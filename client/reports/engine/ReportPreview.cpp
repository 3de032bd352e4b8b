#include "ReportPreview.h"

#include "ReportExport.h"
#include "ReportPainter.h"

#include <algorithm>
#include <iterator>

#include <QComboBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QScrollArea>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace korvane::report {

namespace {

// A slice of layout per turn of the event loop keeps the window answering.
constexpr int kSliceMs = 30;

} // namespace

ReportPreview::ReportPreview(ReportDefinition definition, ReportCursor &cursor,
                             ReportContext context, QWidget *parent)
    : QDialog(parent), cursor_(cursor),
      layout_(std::make_unique<ReportLayout>(std::move(definition), cursor, std::move(context)))
{
    setWindowTitle(layout_->definition().title);
    setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint);
    auto *box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    buildToolBar();
    scroll_ = new QScrollArea(this);
    scroll_->setAlignment(Qt::AlignHCenter);
    scroll_->setBackgroundRole(QPalette::Dark);
    pageView_ = new QLabel;
    pageView_->setObjectName(QStringLiteral("pageView"));
    scroll_->setWidget(pageView_);
    box->addWidget(scroll_, 1);
    keep(layout_->nextPage());
    showPage(0);
    if (!layout_->atEnd())
        QTimer::singleShot(0, this, &ReportPreview::layoutSome);
}

ReportPreview::~ReportPreview() = default;

void ReportPreview::buildToolBar()
{
    auto *bar = new QToolBar(this);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    layout()->addWidget(bar);
    bar->addAction(QStringLiteral("打印"), this, &ReportPreview::print);
    bar->addAction(QStringLiteral("导出PDF"), this, [this] {
        askAndSave(QStringLiteral("PDF (*.pdf)"), QStringLiteral(".pdf"), &ReportPreview::savePdf);
    });
    bar->addAction(QStringLiteral("导出Excel"), this, [this] {
        askAndSave(QStringLiteral("Excel (*.xlsx)"), QStringLiteral(".xlsx"),
                   &ReportPreview::saveXlsx);
    });
    bar->addAction(QStringLiteral("导出文档"), this, [this] {
        askAndSave(QStringLiteral("ODF (*.odt)"), QStringLiteral(".odt"), &ReportPreview::saveOdt);
    });
    bar->addSeparator();
    bar->addAction(QStringLiteral("首页"), this, [this] { showPage(0); });
    bar->addAction(QStringLiteral("上一页"), this, [this] { showPage(current_ - 1); });
    bar->addAction(QStringLiteral("下一页"), this, [this] { showPage(current_ + 1); });
    bar->addAction(QStringLiteral("末页"), this, [this] {
        finishLayout();
        showPage(pageCount() - 1);
    });
    pageLabel_ = new QLabel(this);
    pageLabel_->setMinimumWidth(140);
    pageLabel_->setAlignment(Qt::AlignCenter);
    bar->addWidget(pageLabel_);
    zoomBox_ = new QComboBox(this);
    for (int percent : {50, 75, 100, 125, 150, 200})
        zoomBox_->addItem(QStringLiteral("%1%").arg(percent), percent / 100.0);
    zoomBox_->setCurrentIndex(2);
    connect(zoomBox_, &QComboBox::currentIndexChanged, this,
            [this](int i) { setZoom(zoomBox_->itemData(i).toDouble()); });
    bar->addWidget(zoomBox_);
    bar->addSeparator();
    bar->addAction(QStringLiteral("关闭"), this, &QDialog::reject);
}

void ReportPreview::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    setWindowState(windowState() | Qt::WindowMaximized);
}

void ReportPreview::layoutSome()
{
    QElapsedTimer slice;
    slice.start();
    while (!layout_->atEnd() && slice.elapsed() < kSliceMs)
        keep(layout_->nextPage());
    updatePageLabel();
    emit pagesAdded(pageCount());
    if (!layout_->atEnd())
        QTimer::singleShot(0, this, &ReportPreview::layoutSome);
}

void ReportPreview::finishLayout()
{
    while (!layout_->atEnd())
        keep(layout_->nextPage());
    updatePageLabel();
}

//! Keeps the page, and lets go of the one farthest from the page asked for last when there
//! are too many: the pages around the reader stay at hand.
void ReportPreview::keep(ReportPage page)
{
    const int index = page.number - 1;
    pageCount_ = std::max(pageCount_, index + 1);
    kept_.insert_or_assign(index, std::move(page));
    if (int(kept_.size()) <= MaxKeptPages)
        return;
    const auto first = kept_.begin();
    const auto last = std::prev(kept_.end());
    kept_.erase(focus_ - first->first >= last->first - focus_ ? first : last);
}

void ReportPreview::layOutAgainTo(int index)
{
    // The rows are read from the first again: the running layout must be through with them.
    finishLayout();
    ReportLayout again(layout_->definition(), cursor_, layout_->context());
    const int from = index - MaxKeptPages / 2;
    const int to = from + MaxKeptPages;
    while (!again.atEnd()) {
        ReportPage page = again.nextPage();
        const int at = page.number - 1;
        if (at >= to)
            break;
        if (at >= from)
            keep(std::move(page));
    }
}

const ReportPage &ReportPreview::page(int index)
{
    focus_ = index;
    while (!kept_.count(index) && !layout_->atEnd() && index >= pageCount_)
        keep(layout_->nextPage());
    if (!kept_.count(index))
        layOutAgainTo(index);
    return kept_.at(index);
}

PageSource ReportPreview::freshPages()
{
    finishLayout();
    auto again = std::make_shared<ReportLayout>(layout_->definition(), cursor_, layout_->context());
    return [again]() -> std::optional<ReportPage> {
        if (again->atEnd())
            return std::nullopt;
        return again->nextPage();
    };
}

void ReportPreview::showPage(int index)
{
    if (index < 0 || index >= pageCount())
        return;
    const double pxPerMm = zoom_ * logicalDpiX() / 25.4;
    const QImage picture = pageImage(page(index), pxPerMm);
    current_ = index;
    pageView_->setPixmap(QPixmap::fromImage(picture));
    pageView_->adjustSize();
    updatePageLabel();
}

void ReportPreview::setZoom(double zoom)
{
    zoom_ = zoom;
    showPage(current_);
}

void ReportPreview::updatePageLabel()
{
    const QString total =
        layout_->atEnd() ? QString::number(pageCount()) : QStringLiteral("%1…").arg(pageCount());
    pageLabel_->setText(QStringLiteral("第 %1 页 / 共 %2 页").arg(current_ + 1).arg(total));
}

bool ReportPreview::printTo(QPrinter &printer)
{
    printer.setFullPage(true);
    printer.setDocName(layout_->definition().title);
    return paintPages(printer, freshPages());
}

bool ReportPreview::savePdf(const QString &fileName)
{
    return writePdf(fileName, freshPages(), layout_->definition().title);
}

bool ReportPreview::saveXlsx(const QString &fileName)
{
    finishLayout();
    return exportXlsx(fileName, layout_->definition(), cursor_, layout_->context());
}

bool ReportPreview::saveOdt(const QString &fileName)
{
    finishLayout();
    return exportOdt(fileName, layout_->definition(), cursor_, layout_->context());
}

void ReportPreview::askAndSave(const QString &filter, const QString &suffix,
                               bool (ReportPreview::*save)(const QString &))
{
    QString fileName = QFileDialog::getSaveFileName(this, windowTitle(),
                                                    layout_->definition().title + suffix, filter);
    if (fileName.isEmpty())
        return;
    if (!fileName.endsWith(suffix, Qt::CaseInsensitive))
        fileName += suffix;
    if (!(this->*save)(fileName))
        QMessageBox::warning(this, QStringLiteral("提示"),
                             QStringLiteral("无法保存文件 %1。").arg(fileName));
}

void ReportPreview::print()
{
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted)
        printTo(printer);
}

} // namespace korvane::report
