// What leaves the engine: the PDF (rendered back to pictures), the spreadsheet (read back
// from its XML: numbers as numbers, sums, widths) and the document.
// KORVANE_REPORT_OUT=dir keeps the files there, to look at them.

#include "reports/ReportFixtures.h"
#include "reports/SheetReadBack.h"

#include "ReportExport.h"
#include "ReportLayout.h"
#include "ReportPainter.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

using namespace korvane::report;
using fixtures::sheetCells;
using fixtures::unzipped;

namespace {

double inkShare(const QImage &image)
{
    qsizetype dark = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            dark += qGray(image.pixel(x, y)) < 160;
    return double(dark) / (qsizetype(image.width()) * image.height());
}

} // namespace

class tst_ReportExport : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void spreadsheetKeepsNumbersAndSums();
    void spreadsheetWidthsFitChineseText();
    void documentHoldsTheTable();
    void pdfPagesRenderToPictures();
    void pdfTextCanBeCopied();

private:
    QString outputPath(const QString &name) const { return dir_->filePath(name); }
    std::unique_ptr<QTemporaryDir> temp_;
    std::unique_ptr<QDir> dir_;
};

void tst_ReportExport::init()
{
    const QString keep = qEnvironmentVariable("KORVANE_REPORT_OUT");
    if (keep.isEmpty()) {
        temp_ = std::make_unique<QTemporaryDir>();
        dir_ = std::make_unique<QDir>(temp_->path());
    } else {
        QDir().mkpath(keep);
        dir_ = std::make_unique<QDir>(keep);
    }
}

void tst_ReportExport::spreadsheetKeepsNumbersAndSums()
{
    auto cursor = fixtures::oneReceivable();
    const QString file = outputPath(QStringLiteral("receivables.xlsx"));
    QString error;
    QVERIFY2(exportXlsx(file, fixtures::receivables(), *cursor, fixtures::context(), &error),
             qPrintable(error));
    const QHash<QString, QVariant> cells =
        sheetCells(unzipped(file, QStringLiteral("xl/worksheets/sheet1.xml")));
    // Title, company, department, date and three condition lines, a blank row, the header.
    QCOMPARE(cells.value(QStringLiteral("A1")).toString(), QStringLiteral("客户应收汇总"));
    QCOMPARE(cells.value(QStringLiteral("A9")).toString(), QStringLiteral("客户"));
    QCOMPARE(cells.value(QStringLiteral("E9")).toString(), QStringLiteral("应收（尚欠）"));
    const QStringList rows{QStringLiteral("10"), QStringLiteral("11"), QStringLiteral("12")};
    for (const QString &row : rows) {
        QCOMPARE(cells.value(QStringLiteral("C") + row).typeId(), QMetaType::Double);
        QCOMPARE(cells.value(QStringLiteral("C") + row).toDouble(), 1000.0);
        QCOMPARE(cells.value(QStringLiteral("D") + row).toDouble(), 400.0);
        QCOMPARE(cells.value(QStringLiteral("E") + row).toDouble(), 600.0);
    }
    QCOMPARE(cells.value(QStringLiteral("A11")).toString(), QStringLiteral("小计："));
    QCOMPARE(cells.value(QStringLiteral("A12")).toString(), QStringLiteral("合计："));
}

void tst_ReportExport::spreadsheetWidthsFitChineseText()
{
    auto cursor = fixtures::longName();
    const QString file = outputPath(QStringLiteral("wide.xlsx"));
    QVERIFY(exportXlsx(file, fixtures::purchaseSummary(), *cursor, fixtures::context()));
    QXmlStreamReader reader(unzipped(file, QStringLiteral("xl/worksheets/sheet1.xml")));
    double nameWidth = 0;
    while (!reader.atEnd())
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == u"col" &&
            reader.attributes().value(QStringLiteral("min")) == u"2")
            nameWidth = reader.attributes().value(QStringLiteral("width")).toDouble();
    // Twenty-one characters, fifteen of them CJK at two cells each.
    QVERIFY2(nameWidth >= 36, qPrintable(QString::number(nameWidth)));
}

void tst_ReportExport::documentHoldsTheTable()
{
    auto cursor = fixtures::twoProducts();
    const QString file = outputPath(QStringLiteral("summary.odt"));
    QVERIFY(exportOdt(file, fixtures::purchaseSummary(), *cursor, fixtures::context()));
    const QString content = QString::fromUtf8(unzipped(file, QStringLiteral("content.xml")));
    for (const QString &text :
         {QStringLiteral("采购汇总表"), QStringLiteral("编制单位：【采购部】"),
          QStringLiteral("小计："), QStringLiteral("合计："), QStringLiteral("31.50"),
          QStringLiteral("22.50")})
        QVERIFY2(content.contains(text), qPrintable(text));
    QVERIFY(content.contains(QStringLiteral("table:table ")));
}

void tst_ReportExport::pdfPagesRenderToPictures()
{
    QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty(),
             "pdftoppm is missing: scripts/setup installs poppler-utils");
    auto cursor = fixtures::manyProducts(90);
    ReportLayout layout(fixtures::purchaseSummary(), *cursor, fixtures::context());
    const QVector<ReportPage> pages = layout.remainingPages();
    const QString pdf = outputPath(QStringLiteral("pages.pdf"));
    QVERIFY(writePdf(pdf, pagesOf(pages), QStringLiteral("采购汇总表")));
    QProcess render;
    render.start(QStringLiteral("pdftoppm"),
                 {QStringLiteral("-r"), QStringLiteral("60"), QStringLiteral("-png"), pdf,
                  outputPath(QStringLiteral("page"))});
    QVERIFY(render.waitForFinished());
    QCOMPARE(render.exitCode(), 0);
    const QStringList pictures =
        dir_->entryList({QStringLiteral("page-*.png")}, QDir::Files, QDir::Name);
    QCOMPARE(pictures.size(), pages.size());
    // A4 at 60 dpi, and ink on it: the PDF pages are the laid-out pages.
    const QImage first(dir_->filePath(pictures.first()));
    QCOMPARE(first.size(), QSize(496, 702));
    // As much ink as the painter puts on a picture of the same page (hairlines and
    // antialiasing differ pixel by pixel between rasterisers, the amount does not).
    const double pdfInk = inkShare(first);
    const double paintedInk = inkShare(pageImage(pages.first(), 60 / 25.4));
    QVERIFY2(pdfInk > 0.02 && qAbs(pdfInk - paintedInk) < 0.25 * paintedInk,
             qPrintable(QStringLiteral("%1 %2").arg(pdfInk).arg(paintedInk)));
}

namespace {

//! A word of a PDF page and its height, from pdftotext's boxes.
QHash<QString, double> wordHeights(const QString &pdf)
{
    QProcess extract;
    extract.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    extract.waitForFinished();
    QHash<QString, double> heights;
    QXmlStreamReader xml(extract.readAllStandardOutput());
    while (xml.readNextStartElement() || !xml.atEnd()) {
        if (xml.isStartElement() && xml.name() == QLatin1String("word")) {
            const double top = xml.attributes().value(QLatin1String("yMin")).toDouble();
            const double bottom = xml.attributes().value(QLatin1String("yMax")).toDouble();
            heights.insert(xml.readElementText(), bottom - top);
        } else if (!xml.isStartElement()) {
            xml.readNext();
        }
    }
    return heights;
}

} // namespace

void tst_ReportExport::pdfTextCanBeCopied()
{
    QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty(),
             "pdftotext is missing: scripts/setup installs poppler-utils");
    auto cursor = fixtures::twoProducts();
    ReportLayout layout(fixtures::purchaseSummary(), *cursor, fixtures::context());
    const QString pdf = outputPath(QStringLiteral("text.pdf"));
    QVERIFY(writePdf(pdf, pagesOf(layout.remainingPages()), QStringLiteral("采购汇总表")));
    const QHash<QString, double> words = wordHeights(pdf);
    // Codes of letters and digits, amounts and dates come out whole, as a reader copies them.
    for (const char *expected : {"A001", "B002", "10.00", "22.50", "31.50"})
        QVERIFY2(words.contains(QLatin1String(expected)),
                 qPrintable(expected + (" in " + QStringList(words.keys()).join(u' '))));
    // Each in its own style: the 12 pt title stands taller than a 9 pt cell, and the bold
    // total is set in the bold face.
    QVERIFY(words.value(QStringLiteral("采购汇总表")) > 1.2 * words.value(QStringLiteral("A001")));
    QProcess fonts;
    fonts.start(QStringLiteral("pdffonts"), {pdf});
    QVERIFY(fonts.waitForFinished());
    QVERIFY(fonts.readAllStandardOutput().contains("Bold"));
}

QTEST_MAIN(tst_ReportExport)
#include "tst_ReportExport.moc"
