#pragma once
//! String grid with alternating white and information-background rows, rows 18 high.

#include <QTableWidget>

class TLumoStringGrid : public QTableWidget
{
    Q_OBJECT
    Q_PROPERTY(QColor ColorOne READ ColorOne WRITE setColorOne)
    Q_PROPERTY(QColor ColorTwo READ ColorTwo WRITE setColorTwo)
    Q_PROPERTY(QString TagStr READ TagStr WRITE setTagStr)
    Q_PROPERTY(bool DefaultDrawing READ DefaultDrawing WRITE setDefaultDrawing)

public:
    explicit TLumoStringGrid(QWidget *parent = nullptr);
    TLumoStringGrid(int rows, int columns, QWidget *parent = nullptr);

    QColor ColorOne() const { return m_colorOne; }
    void setColorOne(const QColor &color);
    QColor ColorTwo() const { return m_colorTwo; }
    void setColorTwo(const QColor &color);
    QString TagStr() const { return m_tagStr; }
    void setTagStr(const QString &value) { m_tagStr = value.toUpper(); }
    bool DefaultDrawing() const { return m_defaultDrawing; }
    void setDefaultDrawing(bool on);

    //! The background of a cell in a row: ColorTwo on the first row and every second one after.
    QColor rowColor(int row) const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    QColor m_colorOne;
    QColor m_colorTwo;
    QString m_tagStr;
    bool m_defaultDrawing = true;
    bool m_shown = false;
};
