#pragma once
//! A picture field shown stretched; a double click lets the operator choose another
//! picture through the picture dialog the product window provides.

#include "LumoDataSource.h"

#include <QLabel>

#include <functional>

class TLumoFieldLink;

class TLumoDBImage : public QLabel
{
    Q_OBJECT
    Q_PROPERTY(QString TagStr READ TagStr WRITE setTagStr)
    Q_PROPERTY(TLumoDataSource *DataSource READ DataSource WRITE setDataSource)
    Q_PROPERTY(QString DataField READ DataField WRITE setDataField)
    Q_PROPERTY(bool ReadOnly READ isReadOnly WRITE setReadOnly)

public:
    //! The picture dialog: shows the current picture (file bytes, empty for none) and, on
    //! OK, leaves the chosen one in it (empty: no picture). Returns whether OK was pressed.
    using PictureDialog = std::function<bool(QWidget *parent, QByteArray &picture)>;

    explicit TLumoDBImage(QWidget *parent = nullptr);

    QString TagStr() const { return m_tagStr; }
    //! Only an upper-case "R" as typed makes the picture read-only.
    void setTagStr(const QString &value);
    TLumoDataSource *DataSource() const;
    void setDataSource(TLumoDataSource *source);
    QString DataField() const;
    void setDataField(const QString &name);
    bool isReadOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }

    static void setPictureDialog(PictureDialog dialog);

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void load();
    void choosePicture();

    QString m_tagStr;
    TLumoFieldLink *m_link;
    bool m_readOnly = false;
};
