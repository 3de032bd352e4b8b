#include "UChartWindow.h"

#include "UChartToolBar.h"
#include "UMsgBox.h"

#include <QAction>
#include <QChart>
#include <QChartView>
#include <QFileDialog>
#include <QFileInfo>
#include <QGraphicsSimpleTextItem>
#include <QImageWriter>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int SubTitleGap = 4;

QString askFileName(QWidget *parent)
{
    QString filter;
    const QString fileName =
        QFileDialog::getSaveFileName(parent, QStringLiteral("保存图形"), QString(),
                                     QStringLiteral("位图(*.bmp);;PNG 图片(*.png)"), &filter);
    if (fileName.isEmpty() || !QFileInfo(fileName).suffix().isEmpty())
        return fileName;
    return fileName + (filter.contains(QLatin1String("png")) ? QStringLiteral(".png")
                                                             : QStringLiteral(".bmp"));
}

TfrmChartWindow::FileQuestion &saveQuestion()
{
    static TfrmChartWindow::FileQuestion question;
    return question;
}

} // namespace

TfrmChartWindow::TfrmChartWindow(const QString &caption, const QStringList &tools, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(caption);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::WindowMaximizeButtonHint);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    tbrChart = buildChartToolBar(this, tools, m_actions);
    layout->addWidget(tbrChart);

    chart = new QChart;
    chart->setObjectName(QStringLiteral("chart"));
    chart->legend()->hide();
    chart->setAnimationOptions(QChart::NoAnimation);
    QFont titleFont = chart->titleFont();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.35);
    titleFont.setBold(true);
    chart->setTitleFont(titleFont);
    DBChart1 = new QChartView(chart, this); // the view owns the chart
    DBChart1->setObjectName(QStringLiteral("DBChart1"));
    DBChart1->setRenderHint(QPainter::Antialiasing);
    layout->addWidget(DBChart1, 1);

    m_subTitle = new QGraphicsSimpleTextItem(chart);
    m_subTitle->setZValue(20);
    connect(chart, &QChart::plotAreaChanged, this, [this] { placeSubTitle(); });

    if (QAction *a = action(QStringLiteral("actPrintSetup"))) {
        connect(a, &QAction::triggered, this, [this] {
            QPageSetupDialog dialog(&printer(), this);
            dialog.exec();
        });
    }
    if (QAction *a = action(QStringLiteral("actPrint")))
        connect(a, &QAction::triggered, this, &TfrmChartWindow::askAndPrint);
    if (QAction *a = action(QStringLiteral("actSavePicture")))
        connect(a, &QAction::triggered, this, &TfrmChartWindow::askAndSave);
    if (QAction *a = action(QStringLiteral("actReturn")))
        connect(a, &QAction::triggered, this, &QDialog::accept);
    resize(900, 600);
}

TfrmChartWindow::~TfrmChartWindow() = default;

void TfrmChartWindow::setChartTitle(const QString &title)
{
    chart->setTitle(title);
    placeSubTitle();
}

QString TfrmChartWindow::chartTitle() const
{
    return chart->title();
}

void TfrmChartWindow::setSubTitle(const QString &text)
{
    m_subTitle->setText(text);
    // Room between the title and the plot area for the subtitle's line.
    QMargins margins = chart->margins();
    margins.setTop(text.isEmpty() ? 8 : int(m_subTitle->boundingRect().height()) + 2 * SubTitleGap);
    chart->setMargins(margins);
    placeSubTitle();
}

QString TfrmChartWindow::subTitle() const
{
    return m_subTitle->text();
}

void TfrmChartWindow::placeSubTitle()
{
    const QRectF plot = chart->plotArea();
    const QRectF box = m_subTitle->boundingRect();
    m_subTitle->setPos(plot.right() - box.width(), plot.top() - box.height() - SubTitleGap);
}

void TfrmChartWindow::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    placeSubTitle();
}

QImage TfrmChartWindow::picture() const
{
    QImage image(DBChart1->viewport()->size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    render(painter, image.rect());
    return image;
}

void TfrmChartWindow::render(QPainter &painter, const QRectF &target) const
{
    const QRect source = DBChart1->viewport()->rect();
    const double scale =
        std::min(target.width() / source.width(), target.height() / source.height());
    const QSizeF size(source.width() * scale, source.height() * scale);
    const QRectF fitted(QPointF(target.left() + (target.width() - size.width()) / 2, target.top()),
                        size);
    painter.setRenderHint(QPainter::Antialiasing);
    DBChart1->render(&painter, fitted, source);
}

bool TfrmChartWindow::savePicture(const QString &fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    const QByteArray format = suffix.isEmpty() ? QByteArray("BMP") : suffix.toLatin1();
    QImageWriter writer(fileName, format);
    if (writer.write(picture()))
        return true;
    MsgBox(QStringLiteral("图形未能保存到 %1：%2").arg(fileName, writer.errorString()), mkHint);
    return false;
}

QPrinter &TfrmChartWindow::printer()
{
    if (!m_printer) {
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        m_printer->setPageOrientation(QPageLayout::Landscape);
    }
    return *m_printer;
}

void TfrmChartWindow::print(QPrinter &target)
{
    QPainter painter;
    if (!painter.begin(&target)) {
        MsgBox(QStringLiteral("无法开始打印。"), mkHint);
        return;
    }
    const QRectF page = target.pageLayout().paintRectPixels(target.resolution());
    render(painter, QRectF(QPointF(0, 0), page.size()));
    painter.end();
}

TfrmChartWindow::FileQuestion TfrmChartWindow::setSaveQuestion(FileQuestion question)
{
    FileQuestion previous = std::move(saveQuestion());
    saveQuestion() = std::move(question);
    return previous;
}

void TfrmChartWindow::askAndSave()
{
    const QString fileName = saveQuestion() ? saveQuestion()(this) : askFileName(this);
    if (!fileName.isEmpty())
        savePicture(fileName);
}

void TfrmChartWindow::askAndPrint()
{
    QPrintDialog dialog(&printer(), this);
    if (dialog.exec() == QDialog::Accepted)
        print(printer());
}
