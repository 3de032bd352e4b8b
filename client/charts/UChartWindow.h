#pragma once
//! What the chart windows share: a chart with its title and a subtitle aligned right, the tool
//! bar of the tools the window names, a print set-up kept between runs, printing, saving the
//! chart as a picture (a bitmap, or PNG) and "返回". Screen, page and picture are the same
//! drawing: the chart view rendered.

#include <QDialog>
#include <QMap>

#include <functional>
#include <memory>

class QAction;
class QChart;
class QChartView;
class QGraphicsSimpleTextItem;
class QPrinter;
class QToolBar;

class TfrmChartWindow : public QDialog
{
    Q_OBJECT
public:
    TfrmChartWindow(const QString &caption, const QStringList &tools, QWidget *parent = nullptr);
    ~TfrmChartWindow() override;

    QToolBar *tbrChart = nullptr;
    QChartView *DBChart1 = nullptr;
    QChart *chart = nullptr;

    //! A tool by its name ("actThreeD"); null when the window has none of that name.
    QAction *action(const QString &name) const { return m_actions.value(name); }

    void setChartTitle(const QString &title);
    QString chartTitle() const;
    void setSubTitle(const QString &text);
    QString subTitle() const;

    //! The chart as it is shown, at the view's size.
    QImage picture() const;
    //! Saves the picture; the format follows the name's suffix (".bmp" when it has none).
    //! False, with the reason shown, when it cannot be written.
    bool savePicture(const QString &fileName);
    //! The chart as shown, drawn into the rectangle of any device, scaled keeping its shape.
    void render(QPainter &painter, const QRectF &target) const;
    //! The chart drawn on the printer's page, scaled to fit and keeping its shape.
    void print(QPrinter &printer);
    QPrinter &printer();

    //! The file dialog behind "保存图形" (tests answer it).
    using FileQuestion = std::function<QString(QWidget *parent)>;
    static FileQuestion setSaveQuestion(FileQuestion question);

protected:
    void resizeEvent(QResizeEvent *event) override;
    //! Places the subtitle under the title at the right edge.
    void placeSubTitle();

private:
    void askAndSave();
    void askAndPrint();

    QMap<QString, QAction *> m_actions;
    QGraphicsSimpleTextItem *m_subTitle = nullptr; // child of the chart
    std::unique_ptr<QPrinter> m_printer;           // made on first use, kept between runs
};
